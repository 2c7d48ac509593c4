#include "framework/ModalAnswerer.h"

namespace {
CModalAnswerer* volatile g_pAnswerer = NULL;
}

CModalAnswerer* AfxSetModalAnswerer(CModalAnswerer* pAnswerer)
{
    return static_cast<CModalAnswerer*>(InterlockedExchangePointer(
        reinterpret_cast<PVOID volatile*>(const_cast<CModalAnswerer**>(&g_pAnswerer)), pAnswerer));
}

CModalAnswerer* AfxGetModalAnswerer()
{
    return g_pAnswerer;
}
