// An in-process stand-in for a browser window's document: its selection gives
// a text or control range that records execCommand. Kept apart from the tests
// because it is written against the C form of the COM declarations.
#pragma once

#include <windows.h>

#include <string>

struct FakeDocumentLog
{
    std::wstring selectionType = L"text";    // what IHTMLSelectionObject::get_type answers
    VARIANT_BOOL result = VARIANT_TRUE;      // what execCommand reports
    int nExecCalls = 0;
    std::string rangeKind;                   // "text" or "control": the range execCommand ran on
    std::wstring command;
    std::wstring argument;
    VARIANT_BOOL showUi = VARIANT_TRUE;
    int nLiveObjects = 0;                    // fakes not yet released
};

// Installs the document lookup that turns the result kMagicLresult of
// WM_HTML_GETOBJECT into a new fake document reporting to log; restores the
// program's lookup when destroyed.
const LRESULT kMagicLresult = 0x5A5A;
class FakeDocumentLookup
{
public:
    explicit FakeDocumentLookup(FakeDocumentLog* log);
    ~FakeDocumentLookup();
};
