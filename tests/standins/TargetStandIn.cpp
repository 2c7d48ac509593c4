// A target program for the delivery tests: the test copies it under the
// executable name of the program it imitates and stamps the file version it
// needs. Its window tree is that of its scenario; on Shift+Insert it logs the
// keys, the focused window, and what the clipboard gave for each format the
// scenario asks, in order.
//
//   target_standin.exe LOGFILE SCENARIO [FORMAT...]
//
// SCENARIO:
//   plain          frame > input
//   browser        frame > input, frame > "Internet Explorer_Server"
//   compose        frame > "##MimeEdit_Server" > "Internet Explorer_Server" (input),
//                  and a visible "MimeEdit_FormatBar"
//   compose-nobar  the same without the format bar
//   aol            "AOL Frame25" > "AOL Child" > "Internet Explorer_Server" (input),
//                  which answers WM_HTML_GETOBJECT with 0x5A5A
//   holdclip       holds the clipboard open until it is closed
//   droptarget     frame > input, where anything dragged may be dropped (copy,
//                  else move); it logs the data of each FORMAT (as a paste
//                  does) and the formats of what was dropped
// FORMAT is a registered format name or "#N" for format number N.
//
// Log lines (CR LF):
//   ready FRAME INPUT BROWSER       window handles as decimal numbers
//   key CLASS down|up VK shift=0|1  a key message in a window of the tree
//   focus CLASS                     the focused window at the paste
//   format ITEM data HEX | format ITEM none | open failed
//   pasted
//   holding                         (holdclip) the clipboard is open
//   dragenter EFFECT                (droptarget) a drag came in, answered with EFFECT
//   dropped N                       (droptarget) a drop offering N formats, and
//   dropformat NUMBER               one line per format offered, then the
//                                   FORMAT lines of the drop's data
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

FILE* g_log = NULL;
std::vector<std::string> g_formats;
HWND g_hFrame = NULL;

void Log(const std::string& line)
{
    fputs((line + "\r\n").c_str(), g_log);
    fflush(g_log);
}

std::string ClassOf(HWND hWnd)
{
    char sz[128] = "";
    if (hWnd == NULL || GetClassNameA(hWnd, sz, sizeof(sz)) == 0)
        return "none";
    return sz;
}

UINT FormatOf(const std::string& item)
{
    if (!item.empty() && item[0] == '#')
        return UINT(strtoul(item.c_str() + 1, NULL, 10));
    return RegisterClipboardFormatA(item.c_str());
}

std::string Hex(HANDLE hData)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    const SIZE_T n = GlobalSize(hData);
    const unsigned char* p = static_cast<const unsigned char*>(GlobalLock(hData));
    if (p == NULL)
        return text;
    for (SIZE_T i = 0; i < n; ++i) {
        text += digits[p[i] >> 4];
        text += digits[p[i] & 15];
    }
    GlobalUnlock(hData);
    return text;
}

void Paste(HWND hOwner)
{
    Log("focus " + ClassOf(GetFocus()));
    bool bOpen = false;
    for (int i = 0; i < 100 && !bOpen; ++i) {
        bOpen = OpenClipboard(hOwner) != FALSE;
        if (!bOpen)
            Sleep(20);
    }
    if (!bOpen) {
        Log("open failed");
        return;
    }
    for (const std::string& item : g_formats) {
        const HANDLE hData = GetClipboardData(FormatOf(item));
        Log("format " + item + (hData != NULL ? " data " + Hex(hData) : std::string(" none")));
    }
    CloseClipboard();
    Log("pasted");
}

// Takes whatever is dropped, as a copy when the source allows it.
class DropTarget : public IDropTarget
{
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IDropTarget) {
            *ppv = static_cast<IDropTarget*>(this);
            return S_OK;
        }
        *ppv = NULL;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP DragEnter(IDataObject*, DWORD, POINTL, DWORD* pdwEffect) override
    {
        const HRESULT hr = Answer(pdwEffect);
        Log("dragenter " + std::to_string(*pdwEffect));
        return hr;
    }
    STDMETHODIMP DragOver(DWORD, POINTL, DWORD* pdwEffect) override { return Answer(pdwEffect); }
    STDMETHODIMP DragLeave() override { return S_OK; }
    STDMETHODIMP Drop(IDataObject* pData, DWORD, POINTL, DWORD* pdwEffect) override
    {
        std::vector<UINT> formats;
        IEnumFORMATETC* pEnum = NULL;
        if (pData != NULL && SUCCEEDED(pData->EnumFormatEtc(DATADIR_GET, &pEnum)) && pEnum != NULL) {
            FORMATETC fe;
            while (pEnum->Next(1, &fe, NULL) == S_OK)
                formats.push_back(fe.cfFormat);
            pEnum->Release();
        }
        Log("dropped " + std::to_string(formats.size()));
        for (UINT cf : formats)
            Log("dropformat " + std::to_string(cf));
        // The data of each format the scenario names, rendered now by the source.
        for (const std::string& item : g_formats) {
            FORMATETC fe = {static_cast<CLIPFORMAT>(FormatOf(item)), NULL, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
            STGMEDIUM medium = {};
            if (pData != NULL && SUCCEEDED(pData->GetData(&fe, &medium)) && medium.tymed == TYMED_HGLOBAL) {
                Log("format " + item + " data " + Hex(medium.hGlobal));
                ReleaseStgMedium(&medium);
            } else {
                Log("format " + item + " none");
            }
        }
        return Answer(pdwEffect);
    }

private:
    static HRESULT Answer(DWORD* pdwEffect)
    {
        *pdwEffect = (*pdwEffect & DROPEFFECT_COPY) ? DROPEFFECT_COPY : (*pdwEffect & DROPEFFECT_MOVE);
        return S_OK;
    }
};
DropTarget g_dropTarget;

LRESULT CALLBACK TreeProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    static const UINT s_nGetObject = RegisterWindowMessageA("WM_HTML_GETOBJECT");
    switch (msg) {
    case WM_KEYDOWN:
    case WM_KEYUP: {
        const bool bShift = GetKeyState(VK_SHIFT) < 0;
        char sz[64];
        snprintf(sz, sizeof(sz), " %s %02X shift=%d", msg == WM_KEYDOWN ? "down" : "up", unsigned(wParam),
                 bShift ? 1 : 0);
        Log("key " + ClassOf(hWnd) + sz);
        if (msg == WM_KEYDOWN && wParam == VK_INSERT && bShift)
            Paste(hWnd);
        return 0;
    }
    case WM_LBUTTONDOWN:
        SetFocus(hWnd);
        return 0;
    case WM_CLOSE:
        DestroyWindow(g_hFrame);
        return 0;
    case WM_DESTROY:
        if (hWnd == g_hFrame)
            PostQuitMessage(0);
        return 0;
    }
    if (msg == s_nGetObject && msg != 0 && ClassOf(hWnd) == "Internet Explorer_Server")
        return 0x5A5A;
    return DefWindowProcA(hWnd, msg, wParam, lParam);
}

void Register(const char* pszClass)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = TreeProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = pszClass;
    RegisterClassA(&wc);
}

HWND Child(const char* pszClass, HWND hParent, int x, int y, int cx, int cy, bool bVisible = true)
{
    Register(pszClass);
    return CreateWindowExA(0, pszClass, "", WS_CHILD | WS_BORDER | (bVisible ? WS_VISIBLE : 0), x, y, cx, cy, hParent,
                           NULL, GetModuleHandleA(NULL), NULL);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    g_log = fopen(argv[1], "wb");
    if (g_log == NULL)
        return 2;
    const std::string scenario = argv[2];
    for (int i = 3; i < argc; ++i)
        g_formats.push_back(argv[i]);

    const char* pszFrameClass = scenario == "aol" ? "AOL Frame25" : "TvnxTargetFrame";
    Register(pszFrameClass);
    g_hFrame = CreateWindowExA(0, pszFrameClass, "Stand-in target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 480,
                               360, NULL, NULL, GetModuleHandleA(NULL), NULL);
    if (g_hFrame == NULL)
        return 2;
    HWND hInput = NULL, hBrowser = NULL;
    if (scenario == "plain" || scenario == "browser" || scenario == "holdclip" || scenario == "droptarget") {
        hInput = Child("TvnxTargetInput", g_hFrame, 10, 10, 200, 100);
        if (scenario == "browser")
            hBrowser = Child("Internet Explorer_Server", g_hFrame, 10, 120, 300, 150);
    } else if (scenario == "compose" || scenario == "compose-nobar") {
        const HWND hMime = Child("##MimeEdit_Server", g_hFrame, 10, 10, 420, 280);
        if (scenario == "compose")
            Child("MimeEdit_FormatBar", hMime, 0, 0, 400, 30);
        hBrowser = hInput = Child("Internet Explorer_Server", hMime, 0, 40, 400, 200);
    } else if (scenario == "aol") {
        const HWND hChild = Child("AOL Child", g_hFrame, 0, 0, 460, 320);
        hBrowser = hInput = Child("Internet Explorer_Server", hChild, 10, 10, 300, 200);
    } else {
        return 2;
    }
    SetFocus(hInput);
    if (scenario == "droptarget") {
        OleInitialize(NULL);
        if (FAILED(RegisterDragDrop(hInput, &g_dropTarget)))
            return 2;
    }

    if (scenario == "holdclip") {
        if (OpenClipboard(g_hFrame))
            Log("holding");
        else
            Log("open failed");
    }
    char sz[128];
    snprintf(sz, sizeof(sz), "ready %llu %llu %llu", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(g_hFrame)),
             static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hInput)),
             static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hBrowser)));
    Log(sz);

    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (scenario == "holdclip")
        CloseClipboard();
    fclose(g_log);
    return 0;
}
