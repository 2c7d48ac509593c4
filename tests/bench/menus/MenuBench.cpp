// How much a skinned popup menu costs over a plain one: 20 items with icons
// and markup, opened, fully painted and closed at once, against a plain
// TrackPopupMenu of the same 20 items. The icons come with the size they
// were made at, as the program's menus hand theirs. Run by hand under Wine:
//   wine bench_menus.exe [rounds]
// It first times the item markup of long texts (8000 to 80000 characters).
#include "framework/Framework.h"
#include "tests/tools/SolidIcon.h"
#include "ui3d/menus/3DMenu.h"
#include "ui3d/menus/MenuMarkup.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
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

// An item text of about nChars characters: plain words with font, colour and
// 3D tags between them, and one mnemonic.
std::string MarkupText(int nChars)
{
    static const char* const kPieces[] = {"<b>bold ", "<n>plain ", "<rgb(200,0,0)>red ", "<noclr>back ",
                                          "<i>italic ", "<3d>raised ", "<no3d>flat ", "<bi>both "};
    std::string text = "&Menu ";
    for (int i = 0; static_cast<int>(text.size()) < nChars; ++i)
        text += kPieces[i % 8];
    return text.substr(0, static_cast<size_t>(nChars));
}

// The markup's cost must grow with the text, not with its square.
void MarkupGrowth(const TEXTSTYLE& style, LARGE_INTEGER freq)
{
    double dSmall = 0;
    for (int nChars : {8000, 12000, 80000}) {
        const std::string text = MarkupText(nChars);
        double ms = 0;
        int nRuns = 0;
        for (int nRepeat = 0; nRepeat < 5; ++nRepeat) {   // the best of five: the machine may be busy
            LARGE_INTEGER t0, t1;
            QueryPerformanceCounter(&t0);
            CSequence<CMarkupRun> runs;
            SplitMarkupText(style, 0, text.c_str(), runs);
            QueryPerformanceCounter(&t1);
            const double dThis = Millis(t0, t1, freq);
            ms = nRepeat == 0 ? dThis : std::min(ms, dThis);
            nRuns = runs.GetSize();
        }
        if (nChars == 8000)
            dSmall = ms;
        std::printf("markup   %6d characters, %5d runs: %9.3f ms (%.1fx the 8000)\n", nChars, nRuns, ms,
                    dSmall > 0 ? ms / dSmall : 0.0);
    }
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
    MarkupGrowth(style, freq);
    std::vector<double> skinned, plain, building, tracking, ending;
    int nUnpainted = 0, nDraws = 0;
    for (int r = 0; r < nRounds; ++r) {
        LARGE_INTEGER t0, t1, tBuilt, tTracked;
        QueryPerformanceCounter(&t0);
        {
            C3DMenu menu;
            menu.CreatePopup(&style);
            for (int i = 0; i < kItems; ++i)
                menu.AppendItem(NULL, szText[i], 0, 100 + i, CMenuItemIcon(icons[i], 16, 16), "An item tip");
            QueryPerformanceCounter(&tBuilt);
            menu.Track(&owner, 100, 100);
            QueryPerformanceCounter(&tTracked);
            nUnpainted += menu.GetDrawCount() < kItems ? 1 : 0;
            nDraws += menu.GetDrawCount();
        }
        QueryPerformanceCounter(&t1);
        skinned.push_back(Millis(t0, t1, freq));
        building.push_back(Millis(t0, tBuilt, freq));
        tracking.push_back(Millis(tBuilt, tTracked, freq));
        ending.push_back(Millis(tTracked, t1, freq));

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
    std::printf("draws per menu %.1f\n", double(nDraws) / nRounds);
    Report("skinned", skinned);
    Report(" build", building);
    Report(" track", tracking);
    Report(" end", ending);
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
