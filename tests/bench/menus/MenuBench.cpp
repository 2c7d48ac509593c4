// How much a skinned popup menu costs over a plain one: 20 items with icons
// and markup, opened, fully painted and closed at once, against a plain
// TrackPopupMenu of the same 20 items. Run by hand under Wine:
//   wine bench_menus.exe [rounds]
#include "framework/Framework.h"
#include "tests/tools/SolidIcon.h"
#include "ui3d/menus/3DMenu.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const int kItems = 20;
int g_nIdleSeen = 0;

// The menu loop sends WM_ENTERIDLE once its queue is empty: the popup is up.
// Paint whatever is still pending and close the menu.
class COwnerWnd : public CWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_ENTERIDLE && wParam == MSGF_MENU) {
            ++g_nIdleSeen;
            ::UpdateWindow(reinterpret_cast<HWND>(lParam));
            EndMenu();
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

double Millis(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER freq)
{
    return (b.QuadPart - a.QuadPart) * 1000.0 / freq.QuadPart;
}

void Report(const char* name, std::vector<double> t)
{
    std::sort(t.begin(), t.end());
    std::printf("%-8s best %7.3f ms   median %7.3f ms   (%d rounds)\n", name, t.front(), t[t.size() / 2],
                static_cast<int>(t.size()));
}

} // namespace

int main(int argc, char** argv)
{
    const int nRounds = argc > 1 ? std::max(1, atoi(argv[1])) : 100;
    COwnerWnd owner;
    if (!owner.CreateEx(0, AfxRegisterWndClass(0, LoadCursor(NULL, IDC_ARROW)), "bench", WS_POPUP | WS_VISIBLE, 0, 0,
                        50, 50, NULL, NULL))
        return 1;
    SetForegroundWindow(owner.m_hWnd);

    TEXTSTYLE style;
    style.itemColors = COLORSET(RGB(235, 235, 245), 0, 0, 0, 0, 0);
    style.hotItemColors = COLORSET(RGB(60, 90, 200), 0, 0, 0, 0, 0);
    style.textColors = COLORSET(RGB(0, 0, 0), 0, 0, 0, 0, 0);
    style.hotTextColors = COLORSET(RGB(255, 255, 255), 0, 0, 0, 0, 0);
    style.itemGradient = GRADIENTSTYLE(30, 30, 1);
    style.bItemBorder = 1;
    style.nItemHeight = 20;
    style.nFlags = 0x08 | 0x400;

    std::vector<HICON> icons;
    for (int i = 0; i < kItems; ++i)
        icons.push_back(MakeSolidIcon(RGB(i * 12, 255 - i * 12, 128)));
    char szText[kItems][64], szPlain[kItems][32];
    for (int i = 0; i < kItems; ++i) {
        std::snprintf(szText[i], sizeof(szText[i]), "<b>Item<n> number &%c <rgb(200,0,0)>%d", 'a' + i, i + 1);
        std::snprintf(szPlain[i], sizeof(szPlain[i]), "Item number &%c %d", 'a' + i, i + 1);
    }

    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    std::vector<double> skinned, plain;
    int nUnpainted = 0;
    for (int r = 0; r < nRounds; ++r) {
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        {
            C3DMenu menu;
            menu.CreatePopup(&style);
            for (int i = 0; i < kItems; ++i)
                menu.AppendItem(NULL, szText[i], 0, 100 + i, icons[i], "An item tip");
            menu.Track(&owner, 100, 100);
            nUnpainted += menu.GetDrawCount() < kItems ? 1 : 0;
        }
        QueryPerformanceCounter(&t1);
        skinned.push_back(Millis(t0, t1, freq));

        QueryPerformanceCounter(&t0);
        {
            HMENU hMenu = CreatePopupMenu();
            for (int i = 0; i < kItems; ++i)
                AppendMenuA(hMenu, MF_STRING, 100 + i, szPlain[i]);
            TrackPopupMenu(hMenu, TPM_RETURNCMD, 100, 100, 0, owner.m_hWnd, NULL);
            DestroyMenu(hMenu);
        }
        QueryPerformanceCounter(&t1);
        plain.push_back(Millis(t0, t1, freq));
    }
    Report("skinned", skinned);
    Report("plain", plain);
    std::sort(skinned.begin(), skinned.end());
    std::sort(plain.begin(), plain.end());
    std::printf("ratio    best %.2fx   median %.2fx\n", skinned.front() / plain.front(),
                skinned[skinned.size() / 2] / plain[plain.size() / 2]);
    if (nUnpainted != 0 || g_nIdleSeen != 2 * nRounds)
        std::printf("warning: %d rounds not fully painted, %d idle notices for %d menus\n", nUnpainted, g_nIdleSeen,
                    2 * nRounds);
    for (HICON h : icons)
        DestroyIcon(h);
    return 0;
}
