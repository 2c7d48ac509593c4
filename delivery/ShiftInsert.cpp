#include "delivery/ShiftInsert.h"

#include "ui3d/system/ExportedFuncs.h"

PFN_KEYBDEVENT g_pfnKeybdEvent = ::keybd_event;

namespace {

struct KEYSTEP
{
    BYTE nVirtualKey;
    BYTE nScanCode;
    DWORD dwFlags;   // KEYEVENTF_EXTENDEDKEY and KEYEVENTF_KEYUP
};

const KEYSTEP kSteps[4] = {
    {VK_SHIFT, 0x2A, 0},
    {VK_INSERT, 0x52, KEYEVENTF_EXTENDEDKEY},
    {VK_INSERT, 0x52, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP},
    {VK_SHIFT, 0x2A, KEYEVENTF_KEYUP},
};

}  // namespace

void SendShiftInsert()
{
    if (g_pExportedFuncs != NULL && g_pExportedFuncs->pSendInput != NULL) {
        INPUT inputs[4] = {};
        for (int i = 0; i < 4; i++) {
            inputs[i].type = INPUT_KEYBOARD;
            inputs[i].ki.wVk = kSteps[i].nVirtualKey;
            inputs[i].ki.wScan = kSteps[i].nScanCode;
            inputs[i].ki.dwFlags = kSteps[i].dwFlags | KEYEVENTF_SCANCODE;
        }
        g_pExportedFuncs->pSendInput(4, inputs, sizeof(INPUT));
        return;
    }
    for (const KEYSTEP& step : kSteps)
        g_pfnKeybdEvent(step.nVirtualKey, step.nScanCode, step.dwFlags, 0);
}
