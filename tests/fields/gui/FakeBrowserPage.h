// An in-process stand-in for a browser window's document with a few linked
// pictures: elementFromPoint and the images collection, enough for finding the
// picture inside a dragged link. Kept apart from the tests because it is
// written against the C form of the COM declarations.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct FakePageImage
{
    std::wstring parentText;   // what the parent element's toString gives (a link: its target)
    std::wstring href;         // the picture's address
};

struct FakePage
{
    std::vector<FakePageImage> images;
    int nAtPoint = -1;         // the image elementFromPoint answers; -1: none
    POINT ptAsked = {-1, -1};  // the point elementFromPoint was asked for
    int nLiveObjects = 0;      // fakes not yet released
};

// Turns the result kFakePageLresult of WM_HTML_GETOBJECT into a document of
// page while it lives; restores the program's lookup when destroyed.
const LRESULT kFakePageLresult = 0x6B6B;
class FakePageLookup
{
public:
    explicit FakePageLookup(FakePage* page);
    ~FakePageLookup();
};
