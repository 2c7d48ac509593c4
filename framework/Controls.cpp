// Run-time classes of the control wrappers whose members are all inline.
#include "framework/Edit.h"
#include "framework/Static.h"

IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CStatic, CWnd)
