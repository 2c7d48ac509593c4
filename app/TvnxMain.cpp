// The application object of tarvenex.exe, run by the framework from WinMain.
// Until the tray window takes over, the program shows its main frame as a
// plain window and ends when it is closed.
#include "framework/Framework.h"

namespace {

class CStartFrame : public CWnd
{
protected:
    // The frame is made on the heap and goes with its window.
    void PostNcDestroy() override { delete this; }
};

class CTvnxStartApp : public CWinApp
{
public:
    CTvnxStartApp() : CWinApp("Tarvenex") {}

    BOOL InitInstance() override
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = AfxWndProc;
        wc.hInstance = m_hInstance;
        wc.hCursor = LoadStandardCursor(IDC_ARROW);
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        wc.lpszClassName = "Tarvenex Main Window";
        if (!RegisterClassA(&wc))
            return FALSE;
        CStartFrame* pFrame = new CStartFrame;
        if (!pFrame->CreateEx(0, wc.lpszClassName, "Tarvenex", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                              480, 360, NULL, NULL)) {
            delete pFrame;
            return FALSE;
        }
        m_pMainWnd = pFrame;
        pFrame->ShowWindow(m_nCmdShow);
        return TRUE;
    }
};

CTvnxStartApp theApp;

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
