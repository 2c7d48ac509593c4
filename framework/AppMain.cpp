// The program's entry when the executable has no WinMain of its own: it runs
// the application object (linked in only when nothing else defines WinMain).
#include "framework/WinApp.h"

extern "C" int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
