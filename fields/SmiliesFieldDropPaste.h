// CSmiliesFieldDropPaste: the field view that smilies can be dragged out of,
// dropped into and pasted into. It stands between the view and the field
// control so that every field window is one class; the drag source, drop
// target and paste groups join it here.
#pragma once

#include "fields/SmiliesField.h"

class CSmiliesFieldDropPaste : public CSmiliesField
{
public:
    CSmiliesFieldDropPaste() {}
    ~CSmiliesFieldDropPaste() override {}
};
