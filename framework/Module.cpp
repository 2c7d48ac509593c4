#include "framework/Module.h"

namespace {
HINSTANCE g_hInstance = NULL;
HINSTANCE g_hResource = NULL;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_hInstance != NULL ? g_hInstance : GetModuleHandleA(NULL);
}

HINSTANCE AfxGetResourceHandle()
{
    return g_hResource != NULL ? g_hResource : AfxGetInstanceHandle();
}

void AfxSetInstanceHandle(HINSTANCE hInstance)
{
    g_hInstance = hInstance;
}

void AfxSetResourceHandle(HINSTANCE hResource)
{
    g_hResource = hResource;
}
