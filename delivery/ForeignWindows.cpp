#include "delivery/ForeignWindows.h"

#include "delivery/AppAttr.h"

#include "services/Registered.h"
#include "services/Registry.h"
#include "framework/ComPtr.h"
#include "ui3d/system/ExportedFuncs.h"

#include <mshtml.h>
#include <oleauto.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

PFN_DOCUMENTFROMLRESULT g_pfnDocumentFromLresult = nullptr;
ULONGLONG g_TheBatVersion = 0;

namespace {

// Another program's window may hang; the insertion never waits longer.
const UINT kGetObjectTimeoutMs = 1000;

bool HasClass(HWND hWnd, const char* pszClass)
{
    char szClass[128];
    return GetClassNameA(hWnd, szClass, sizeof(szClass)) > 0 && strcmp(szClass, pszClass) == 0;
}

class CBstr
{
public:
    explicit CBstr(const WCHAR* psz) : m_b(SysAllocString(psz)) {}
    CBstr() {}
    ~CBstr() { SysFreeString(m_b); }
    BSTR* operator&() { return &m_b; }
    BSTR Get() const { return m_b; }
    void Attach(BSTR b)
    {
        SysFreeString(m_b);
        m_b = b;
    }

private:
    BSTR m_b = nullptr;
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;
};

// "file://" and the path as a BSTR; null when it cannot be made.
BSTR MakeFileArgument(const char* pszPath)
{
    const char kScheme[] = "file://";
    const int nPath = MultiByteToWideChar(CP_ACP, 0, pszPath, -1, nullptr, 0);
    if (nPath <= 0)
        return nullptr;
    const int nScheme = int(sizeof(kScheme)) - 1;
    BSTR b = SysAllocStringLen(nullptr, UINT(nScheme + nPath - 1));
    if (b == nullptr)
        return nullptr;
    for (int i = 0; i < nScheme; i++)
        b[i] = WCHAR(kScheme[i]);
    MultiByteToWideChar(CP_ACP, 0, pszPath, -1, b + nScheme, nPath);
    return b;
}

// The document's selection, turned into a range, runs InsertImage.
int InsertIntoDocument(IHTMLDocument2* pDocument, const char* pszPath)
{
    CComPtr<IHTMLSelectionObject> selection;
    if (FAILED(pDocument->get_selection(&selection)) || !selection)
        return 0;
    CBstr type;
    if (FAILED(selection->get_type(&type)))
        return 0;
    CComPtr<IDispatch> range;
    if (FAILED(selection->createRange(&range)) || !range)
        return 0;
    CBstr argument;
    argument.Attach(MakeFileArgument(pszPath));
    CBstr command(L"InsertImage");
    if (argument.Get() == nullptr || command.Get() == nullptr)
        return 0;
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = argument.Get();     // still owned by argument
    VARIANT_BOOL bDone = VARIANT_FALSE;
    // A selected picture or control gives a control range, text a text range.
    if (type.Get() != nullptr && wcscmp(type.Get(), L"control") == 0) {
        CComPtr<IHTMLControlRange> controls;
        if (FAILED(range->QueryInterface(IID_IHTMLControlRange, controls.Out())) || !controls ||
            FAILED(controls->execCommand(command.Get(), VARIANT_FALSE, value, &bDone)))
            return 0;
    } else {
        CComPtr<IHTMLTxtRange> text;
        if (FAILED(range->QueryInterface(IID_IHTMLTxtRange, text.Out())) || !text ||
            FAILED(text->execCommand(command.Get(), VARIANT_FALSE, value, &bDone)))
            return 0;
    }
    return bDone == VARIANT_TRUE ? 1 : 0;
}

}   // namespace

int IsDesktopWindow(HWND hWnd)
{
    if (hWnd == NULL)
        return 0;
    const HWND hDesktop = ::GetDesktopWindow();
    if (hWnd == hDesktop)
        return 1;
    char szClass[16];
    if (::GetClassNameA(hWnd, szClass, sizeof(szClass)) > 0 && strcmp(szClass, "#32769") == 0)
        return 1;
    const DWORD nDesktopThread = ::GetWindowThreadProcessId(hDesktop, NULL);
    return nDesktopThread != 0 && ::GetWindowThreadProcessId(hWnd, NULL) == nDesktopThread ? 1 : 0;
}

BOOL CALLBACK EnumCollectChildProc(HWND hWnd, LPARAM lParam)
{
    reinterpret_cast<CSequence<HWND>*>(lParam)->Add(hWnd);
    return TRUE;
}

HWND ChooseAolDocumentWindow(const CSequence<AOL_WND>& windows)
{
    HWND hChosen = nullptr;
    int nBest = 0;
    for (int i = windows.GetSize() - 1; i >= 0; i--) {
        const RECT& rc = windows[i].rc;
        if (rc.left < 1 || rc.top < 1 || rc.right - rc.left < kAolMinDocumentSize ||
            rc.bottom - rc.top < kAolMinDocumentSize)
            continue;
        const int nDistance = int(std::sqrt(double(rc.left) * rc.left + double(rc.top) * rc.top));
        if (hChosen == nullptr || nDistance < nBest) {
            hChosen = windows[i].hWnd;
            nBest = nDistance;
        }
    }
    return hChosen;
}

bool GetBrowserDocument(HWND hBrowser, CComPtr<IHTMLDocument2>& document)
{
    PFN_DOCUMENTFROMLRESULT pfn = g_pfnDocumentFromLresult;
    if (pfn == nullptr && g_pExportedFuncs != nullptr)
        pfn = g_pExportedFuncs->pObjectFromLresult;
    DWORD_PTR nResult = 0;
    if (pfn == nullptr ||
        !SendMessageTimeoutA(hBrowser, GetHtmlGetObjectMessage(), 0, 0, SMTO_ABORTIFHUNG, kGetObjectTimeoutMs, &nResult) ||
        nResult == 0)
        return false;
    return SUCCEEDED(pfn(LRESULT(nResult), IID_IHTMLDocument2, 0, document.Out())) && document;
}

int InsertAolImage(HWND aolWindow, const char* picturePath)
{
    if (picturePath == nullptr || !IsWindow(aolWindow) || !HasClass(aolWindow, "AOL Frame25"))
        return 0;
    HWND hChild = GetTopWindow(aolWindow);
    while (hChild != nullptr && !HasClass(hChild, "AOL Child"))
        hChild = GetTopWindow(hChild);
    if (hChild == nullptr)
        return 0;

    CSequence<HWND> descendants;
    EnumChildWindows(hChild, EnumCollectChildProc, reinterpret_cast<LPARAM>(&descendants));
    CSequence<AOL_WND> candidates;
    for (int i = 0; i < descendants.GetSize(); i++) {
        if (!HasClass(descendants[i], "Internet Explorer_Server"))
            continue;
        AOL_WND w;
        w.hWnd = descendants[i];
        GetWindowRect(w.hWnd, &w.rc);
        MapWindowPoints(nullptr, hChild, reinterpret_cast<POINT*>(&w.rc), 2);
        candidates.Add(w);
    }
    HWND hDocument = ChooseAolDocumentWindow(candidates);
    if (hDocument == nullptr)
        return 0;

    CComPtr<IHTMLDocument2> document;
    if (!GetBrowserDocument(hDocument, document))
        return 0;
    return InsertIntoDocument(document.Get(), picturePath);
}

int ReadTheBatVersion()
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\RIT\\The Bat!", 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return 0;
    CString strValue;
    const int bRead = RegQueryString(hKey, "Version", strValue);
    RegCloseKey(hKey);
    if (!bRead)
        return 0;
    // Read from the digits, rounded to hundredths the same way in every build.
    DWORD nMajor, nHundredths;
    BOOL bNegative;
    const char* pEnd;
    if (!ReadDecimalText(strValue, 2, &nMajor, &nHundredths, &bNegative, &pEnd) || bNegative)
        return 0;
    // Only a number above 0 is a version ("0.001" is one, read as 0.00).
    if (strcspn(strValue, "123456789") >= size_t(pEnd - static_cast<const char*>(strValue)))
        return 0;
    // A major number has 16 bits; anything larger is no version.
    if (nMajor > 0xFFFF)
        return 0;
    g_TheBatVersion = ULONGLONG((nMajor << 16) | nHundredths) << 32;
    return 1;
}

int IsImeWindow(HWND hWnd)
{
    static const char* const s_Ime[][2] = {{"MSCTFIME UI", "M"}, {"IME", "Default IME"}};
    char szClass[128];
    char szTitle[128];
    if (GetClassNameA(hWnd, szClass, sizeof(szClass)) <= 0)
        return 0;
    if (GetWindowTextA(hWnd, szTitle, sizeof(szTitle)) < 0)
        return 0;
    for (const auto& row : s_Ime)
        if (strcmp(szClass, row[0]) == 0 && strcmp(szTitle, row[1]) == 0)
            return 1;
    return 0;
}
