// Shift+Insert: the four key events, through SendInput when the optional
// function exists and through keybd_event without it. Recorders stand in for
// both, so no key reaches the desktop.
#include "delivery/ShiftInsert.h"
#include "ui3d/system/ExportedFuncs.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<INPUT> g_inputs;
int g_nSendInputCalls = 0;

UINT WINAPI RecordSendInput(UINT n, LPINPUT p, int cb)
{
    g_nSendInputCalls++;
    EXPECT_EQ(int(sizeof(INPUT)), cb);
    g_inputs.assign(p, p + n);
    return n;
}

struct KEYBDCALL
{
    BYTE vk, scan;
    DWORD flags;
};
std::vector<KEYBDCALL> g_keybd;

void WINAPI RecordKeybdEvent(BYTE vk, BYTE scan, DWORD flags, ULONG_PTR)
{
    g_keybd.push_back({vk, scan, flags});
}

class ShiftInsert : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFuncs = new CExportedFuncs;
        m_pPreviousFuncs = g_pExportedFuncs;
        g_pExportedFuncs = m_pFuncs;
        m_pfnPrevious = g_pfnKeybdEvent;
        g_pfnKeybdEvent = RecordKeybdEvent;
        g_inputs.clear();
        g_keybd.clear();
        g_nSendInputCalls = 0;
    }
    void TearDown() override
    {
        g_pfnKeybdEvent = m_pfnPrevious;
        g_pExportedFuncs = m_pPreviousFuncs;
        delete m_pFuncs;
    }
    CExportedFuncs* m_pFuncs = nullptr;
    CExportedFuncs* m_pPreviousFuncs = nullptr;
    PFN_KEYBDEVENT m_pfnPrevious = nullptr;
};

const struct {
    WORD vk, scan;
    DWORD inputFlags;   // SendInput
    DWORD keybdFlags;   // keybd_event
} kExpected[4] = {
    {0x10, 0x2A, 8, 0},
    {0x2D, 0x52, 9, KEYEVENTF_EXTENDEDKEY},
    {0x2D, 0x52, 11, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP},
    {0x10, 0x2A, 10, KEYEVENTF_KEYUP},
};

TEST_F(ShiftInsert, OneSendInputOfFourRecords)
{
    m_pFuncs->pSendInput = RecordSendInput;
    SendShiftInsert();
    EXPECT_EQ(1, g_nSendInputCalls);
    EXPECT_TRUE(g_keybd.empty());
    ASSERT_EQ(4u, g_inputs.size());
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(DWORD(INPUT_KEYBOARD), g_inputs[i].type) << "record " << i;
        EXPECT_EQ(kExpected[i].vk, g_inputs[i].ki.wVk) << "record " << i;
        EXPECT_EQ(kExpected[i].scan, g_inputs[i].ki.wScan) << "record " << i;
        EXPECT_EQ(kExpected[i].inputFlags, g_inputs[i].ki.dwFlags) << "record " << i;
    }
}

TEST_F(ShiftInsert, KeybdEventWithoutSendInput)
{
    m_pFuncs->pSendInput = NULL;
    SendShiftInsert();
    EXPECT_EQ(0, g_nSendInputCalls);
    ASSERT_EQ(4u, g_keybd.size());
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(kExpected[i].vk, g_keybd[i].vk) << "event " << i;
        EXPECT_EQ(kExpected[i].scan, g_keybd[i].scan) << "event " << i;
        EXPECT_EQ(kExpected[i].keybdFlags, g_keybd[i].flags) << "event " << i;
    }
}

}  // namespace
