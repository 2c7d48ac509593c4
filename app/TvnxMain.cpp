// The program's entry: the one application object, run by the framework.
#include "app/TvnxApp.h"
#include "framework/Framework.h"

namespace {

CTvnxApp theApp;

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
