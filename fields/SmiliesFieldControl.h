// CSmiliesFieldControl: the field window of the program. The fields container
// makes one per field. Sending a smilie, the menus, tips, the preview and the
// downloads' messages join it here; until then it is the drop-and-paste view.
#pragma once

#include "fields/SmiliesFieldDropPaste.h"

class CSmiliesFieldControl : public CSmiliesFieldDropPaste
{
public:
    CSmiliesFieldControl() {}
    ~CSmiliesFieldControl() override {}
};
