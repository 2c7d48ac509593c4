// Where the hiding flight lands: on the tray icon when its pattern shows in
// the notification area, else on the fallbacks, never on less than 3 x 3.
#include <gtest/gtest.h>

#include "app/TrayAnimationThread.h"

#include <vector>

namespace {

// A mask of the notification area with the icon's pattern at (x, y), or none for x < 0.
std::vector<BYTE> NotifyMask(int cx, int cy, int x, int y)
{
    std::vector<BYTE> mask(size_t(cx) * cy, 0);
    if (x >= 0)
        for (int r = 0; r < TRAYICONPATTERN::cy; r++)
            for (int c = 0; c < TRAYICONPATTERN::cx; c++)
                mask[size_t(y + r) * cx + x + c] = g_TrayIconPattern.bits[r][c];
    return mask;
}

TEST(TrayIconRectTest, LandingSquare)
{
    const RECT rcNotify = {900, 740, 1000, 768};  // 100 x 28
    const RECT rcTallNotify = {990, 600, 1018, 700};
    const RECT rcWideBar = {0, 738, 1024, 768};
    const RECT rcTallBar = {0, 0, 60, 768};
    const RECT rcTinyBar = {0, 766, 1024, 768};
    struct Case
    {
        const char* pszName;
        const RECT* prcNotify;
        int xIcon, yIcon;  // pattern place in the notification mask, -1: not shown
        const RECT* prcTaskbar;
        RECT expected;
    } cases[] = {
        {"icon found", &rcNotify, 30, 5, NULL, {930, 745, 946, 761}},
        {"icon at the mask's corner", &rcNotify, 84, 21, NULL, {984, 761, 1000, 777}},
        {"icon hidden: middle of a wide area", &rcNotify, -1, 0, NULL, {936, 740, 964, 768}},
        {"icon hidden: middle of a tall area", &rcTallNotify, -1, 0, NULL, {990, 636, 1018, 664}},
        {"no area: end of a horizontal taskbar", NULL, -1, 0, &rcWideBar, {994, 738, 1024, 768}},
        {"no area: end of a vertical taskbar", NULL, -1, 0, &rcTallBar, {0, 708, 60, 768}},
        {"no area: thin taskbar grows to 3 x 3", NULL, -1, 0, &rcTinyBar, {1022, 766, 1025, 769}},
        {"nothing: screen corner", NULL, -1, 0, NULL, {1008, 752, 1024, 768}},
    };
    for (const Case& c : cases) {
        std::vector<BYTE> mask;
        if (c.prcNotify != NULL)
            mask = NotifyMask(c.prcNotify->right - c.prcNotify->left, c.prcNotify->bottom - c.prcNotify->top,
                              c.xIcon, c.yIcon);
        const RECT rc = ChooseTrayIconRect(c.prcNotify, mask.empty() ? NULL : mask.data(), c.prcTaskbar,
                                           &g_TrayIconPattern.bits[0][0], TRAYICONPATTERN::cx,
                                           TRAYICONPATTERN::cy, 1024, 768);
        EXPECT_TRUE(EqualRect(&rc, &c.expected))
            << c.pszName << ": got (" << rc.left << ", " << rc.top << ", " << rc.right << ", " << rc.bottom << ")";
    }
}

}  // namespace
