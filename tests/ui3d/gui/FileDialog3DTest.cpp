// The skinned file and folder dialogs on the system's real dialogs, answered
// through the test seam: the chosen names come from the buffer the system
// filled (a name typed by hand included), one or several; the folder dialog
// with and without its added choice list.
#include "ui3d/dialogs/3DDirDialog.h"
#include "ui3d/dialogs/3DFileDialog.h"

#include "services/Messages.h"
#include "framework/Framework.h"
#include "framework/ModalAnswerer.h"
#include "tests/tools/Pump.h"
#include "ui3d/dialogs/LiveDialogs.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <dlgs.h>
#include <objbase.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

namespace {

class CCommonAnswerer : public CModalAnswerer
{
public:
    explicit CCommonAnswerer(std::function<INT_PTR(CCommonDialog*)> fn) : m_fn(fn)
    {
        m_pPrevious = AfxSetModalAnswerer(this);
    }
    ~CCommonAnswerer() override { AfxSetModalAnswerer(m_pPrevious); }
    INT_PTR OnCommonDialog(CCommonDialog* pDialog) override
    {
        nAsked++;
        pRunning = GetRunningModalDialog();
        return m_fn(pDialog);
    }
    int nAsked = 0;
    CDialog* pRunning = NULL;

private:
    std::function<INT_PTR(CCommonDialog*)> m_fn;
    CModalAnswerer* m_pPrevious;
};

// A folder of its own under the temporary folder with a few empty files.
class CTempFolder
{
public:
    explicit CTempFolder(std::initializer_list<const char*> files)
    {
        char sz[MAX_PATH];
        GetTempPathA(MAX_PATH, sz);
        m_strPath = std::string(sz) + "tvnx-filedlg-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(m_strPath.c_str(), NULL);
        for (const char* psz : files) {
            const std::string strFile = m_strPath + "\\" + psz;
            HANDLE h = CreateFileA(strFile.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
            if (h != INVALID_HANDLE_VALUE)
                CloseHandle(h);
            m_files.push_back(strFile);
        }
    }
    ~CTempFolder()
    {
        for (const std::string& str : m_files)
            DeleteFileA(str.c_str());
        RemoveDirectoryA(m_strPath.c_str());
    }
    const std::string& Path() const { return m_strPath; }

private:
    std::string m_strPath;
    std::vector<std::string> m_files;
};

HWND FindDescendant(HWND hParent, const char* pszClass)
{
    for (HWND h = GetWindow(hParent, GW_CHILD); h != NULL; h = GetWindow(h, GW_HWNDNEXT)) {
        char sz[64] = "";
        GetClassNameA(h, sz, sizeof(sz));
        if (lstrcmpiA(sz, pszClass) == 0)
            return h;
        HWND hFound = FindDescendant(h, pszClass);
        if (hFound != NULL)
            return hFound;
    }
    return NULL;
}

// Types a name into the dialog's file-name field, as a person would.
void TypeFileName(HWND hDlg, const char* pszName)
{
    HWND hName = GetDlgItem(hDlg, cmb13);
    if (hName == NULL)
        hName = GetDlgItem(hDlg, edt1);
    ASSERT_TRUE(hName != NULL) << "the dialog has a file-name field";
    SetWindowTextA(hName, pszName);
}

void PressOk(HWND hDlg)
{
    PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDOK)));
}

// Selects the first file of the dialog's list, as a click would.
bool SelectFirstFile(HWND hDlg)
{
    HWND hList = FindDescendant(hDlg, "SysListView32");
    if (hList == NULL || SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0) == 0)
        return false;
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(hList, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    return true;
}

const char kFilter[] = "Pictures (*.png)|*.png|All files|*.*||";

}  // namespace

TEST(FileDialog3D, AnsweredThroughTheSeamNamesComeFromTheBuffer)
{
    struct Row {
        const char* name;
        BOOL bOpen;
        DWORD dwFlags;
        std::string buffer;  // as the system fills it
        std::vector<std::string> paths;
        const char* folder;
        const char* ext1;  // extension of the last name
    } rows[] = {
        {"open, one name", TRUE, 0, std::string("C:\\pics\\smile.face.png"), {"C:\\pics\\smile.face.png"},
         "C:\\pics\\", "png"},
        {"open several, one chosen", TRUE, OFN_ALLOWMULTISELECT, std::string("C:\\pics\\a.gif"), {"C:\\pics\\a.gif"},
         "C:\\pics\\", "gif"},
        {"open several", TRUE, OFN_ALLOWMULTISELECT, std::string("C:\\pics\0a.png\0b.gif\0c\0", 23),
         {"C:\\pics\\a.png", "C:\\pics\\b.gif", "C:\\pics\\c"}, "C:\\pics\\", ""},
        {"open several at a drive root", TRUE, OFN_ALLOWMULTISELECT, std::string("C:\\\0a.png\0b.png\0", 16),
         {"C:\\a.png", "C:\\b.png"}, "C:\\", "png"},
        {"save", FALSE, 0, std::string("C:\\out\\collection.tvnx"), {"C:\\out\\collection.tvnx"}, "C:\\out\\",
         "tvnx"},
    };
    for (const Row& r : rows) {
        CCommonAnswerer answerer([&](CCommonDialog* p) -> INT_PTR {
            OPENFILENAMEA& ofn = static_cast<C3DFileDialog*>(p)->m_ofn;
            memset(ofn.lpstrFile, 0, ofn.nMaxFile);
            memcpy(ofn.lpstrFile, r.buffer.data(), r.buffer.size());
            return IDOK;
        });
        char buffer[1024] = "";
        C3DFileDialog dlg(kFilter, r.bOpen, "png", NULL, OFN_HIDEREADONLY | r.dwFlags);
        dlg.SetFileBuffer(buffer, sizeof(buffer));
        ASSERT_EQ(dlg.DoModal(), IDOK) << r.name;
        EXPECT_EQ(answerer.nAsked, 1) << r.name;
        EXPECT_EQ(answerer.pRunning, &dlg) << r.name << ": found among the live dialogs while it runs";
        if (r.bOpen) {
            ASSERT_EQ(dlg.GetFileCount(), static_cast<int>(r.paths.size())) << r.name;
            for (size_t i = 0; i < r.paths.size(); i++)
                EXPECT_STREQ(dlg.GetPathName(static_cast<int>(i)), r.paths[i].c_str()) << r.name << " #" << i;
            EXPECT_STREQ(dlg.GetFileExt(static_cast<int>(r.paths.size()) - 1), r.ext1) << r.name;
        } else {
            EXPECT_STREQ(dlg.GetPathName(), r.paths[0].c_str()) << r.name;
            EXPECT_STREQ(dlg.GetFileName(), "collection.tvnx") << r.name;
            EXPECT_STREQ(dlg.GetFileTitle(), "collection") << r.name;
            EXPECT_STREQ(dlg.GetFileExt(), r.ext1) << r.name;
        }
        EXPECT_STREQ(dlg.GetFolderPath(), r.folder) << r.name;
        EXPECT_EQ(dlg.m_nRunState, 0) << r.name;
    }
}

TEST(FileDialog3D, CancelledOrDuringADragNoName)
{
    {
        CCommonAnswerer answerer([](CCommonDialog*) -> INT_PTR { return IDCANCEL; });
        C3DFileDialog dlg(kFilter, TRUE, NULL, "start.png");
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(dlg.GetFileCount(), 0);
        EXPECT_STREQ(dlg.GetFileName(), "");
    }
    g_nActiveDrags = 1;
    CCommonAnswerer answerer([](CCommonDialog*) -> INT_PTR { return IDOK; });
    C3DFileDialog dlg(kFilter, TRUE);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(answerer.nAsked, 0);
    g_nActiveDrags = 0;
}

// A name typed after a selection is the one opened, alone or with others.
TEST(FileDialog3D, NameTypedByHandAfterASelectionIsTheOneOpened)
{
    CTempFolder folder({"alpha.png", "typed.png"});
    struct Row {
        const char* name;
        DWORD dwFlags;
        const char* typed;
        std::vector<std::string> names;
    } rows[] = {
        {"single", 0, "typed.png", {"typed.png"}},
        {"several", OFN_ALLOWMULTISELECT, "\"typed.png\" \"alpha.png\"", {"typed.png", "alpha.png"}},
    };
    for (const Row& r : rows) {
        CString strCapturedBeforeTyping;
        bool bSelected = false;
        CCommonAnswerer answerer([&](CCommonDialog* p) -> INT_PTR {
            bSelected = SelectFirstFile(p->m_hWnd);
            strCapturedBeforeTyping = static_cast<C3DFileDialog*>(p)->m_strCapturedName;
            TypeFileName(p->m_hWnd, r.typed);
            PressOk(p->m_hWnd);
            return -1;
        });
        char buffer[2048] = "";
        C3DFileDialog dlg(kFilter, TRUE, NULL, NULL, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | r.dwFlags);
        dlg.SetFileBuffer(buffer, sizeof(buffer));
        dlg.SetInitialFolder(folder.Path().c_str());
        dlg.SetTitle("Open pictures");
        ASSERT_EQ(dlg.DoModal(), IDOK) << r.name;
        ASSERT_TRUE(bSelected) << r.name << ": the dialog lists the folder's files";
        EXPECT_STREQ(strCapturedBeforeTyping, "alpha.png") << r.name << ": the selection was captured";
        ASSERT_EQ(dlg.GetFileCount(), static_cast<int>(r.names.size())) << r.name;
        for (size_t i = 0; i < r.names.size(); i++) {
            const std::string strExpected = folder.Path() + "\\" + r.names[i];
            EXPECT_EQ(lstrcmpiA(dlg.GetPathName(static_cast<int>(i)), strExpected.c_str()), 0)
                << r.name << " #" << i << ": " << static_cast<LPCSTR>(dlg.GetPathName(static_cast<int>(i)));
        }
        EXPECT_EQ(dlg.GetFilterIndex(), 1) << r.name;
    }
}

TEST(DirDialog3D, AnsweredThroughTheSeam)
{
    struct Row {
        const char* name;
        INT_PTR answer;
        const char* path;
        const char* expected;
    } rows[] = {
        {"a folder", IDOK, "C:\\windows", "C:\\windows\\"},
        {"a drive root", IDOK, "C:\\", "C:\\"},
        {"a folder that ends in a slash", IDOK, "C:/temp/", "C:/temp/"},
        {"cancelled", IDCANCEL, "", ""},
    };
    for (const Row& r : rows) {
        HWND hWindowWhileAsked = NULL;
        CCommonAnswerer answerer([&](CCommonDialog* p) -> INT_PTR {
            C3DDirDialog* pDir = static_cast<C3DDirDialog*>(p);
            hWindowWhileAsked = pDir->m_hWnd;
            lstrcpynA(pDir->m_szPath, r.path, MAX_PATH);
            return r.answer;
        });
        C3DDirDialog dlg("Choose a folder", BIF_RETURNONLYFSDIRS, NULL);
        EXPECT_EQ(dlg.DoModal(), r.answer) << r.name;
        EXPECT_EQ(answerer.pRunning, &dlg) << r.name;
        EXPECT_STREQ(dlg.GetPath(), r.expected) << r.name;
        EXPECT_EQ(dlg.GetChoice(), 0) << r.name;
        EXPECT_FALSE(IsWindow(hWindowWhileAsked)) << r.name;
    }
}

// Clicking the choice list drops it over the dialog with every entry in
// view; no control of the browser (the folder box of the export's browser
// among them) covers the list or its dropped part.
TEST(DirDialog3D, ChoiceListDropsOverTheDialogAtFullHeight)
{
    HRESULT hr = CoInitialize(NULL);
    const UINT nModify = RegisterWindowMessageA(TVNX_MSG_MODIFYDIRDLG);
    COMBOBOXINFO info = {sizeof(info)};
    RECT rcDropped = {}, rcCombo = {};
    int nItemHeight = 0, nCount = 0;
    BOOL bDropped = FALSE;
    HWND hAtTop = NULL, hAtBottom = NULL, hAtList = NULL;
    std::string strLayout, strCovering;
    CCommonAnswerer answerer([&](CCommonDialog* p) -> INT_PTR {
        HWND hDlg = p->m_hWnd;
        SendMessageA(hDlg, nModify, 0, 0);
        ShowWindow(hDlg, SW_SHOWNA);
        PumpPending();
        for (HWND h = GetWindow(hDlg, GW_CHILD); h != NULL; h = GetWindow(h, GW_HWNDNEXT)) {
            char sz[64] = "";
            GetClassNameA(h, sz, sizeof(sz));
            RECT rc;
            GetWindowRect(h, &rc);
            MapWindowPoints(NULL, hDlg, reinterpret_cast<POINT*>(&rc), 2);
            char szLine[160];
            wsprintfA(szLine, "\n  %s%s (%d,%d)-(%d,%d)", sz, IsWindowVisible(h) ? "" : " hidden", int(rc.left),
                      int(rc.top), int(rc.right), int(rc.bottom));
            strLayout += szLine;
        }
        HWND hList = static_cast<C3DDirDialog*>(p)->m_hList;
        if (hList == NULL)
            return IDCANCEL;
        GetWindowRect(hList, &rcCombo);
        for (HWND h = GetWindow(hDlg, GW_CHILD); h != NULL; h = GetWindow(h, GW_HWNDNEXT)) {
            RECT rc, rcMeet;
            if (h != hList && IsWindowVisible(h) && GetWindowRect(h, &rc) && IntersectRect(&rcMeet, &rc, &rcCombo)) {
                char sz[64] = "";
                GetClassNameA(h, sz, sizeof(sz));
                strCovering += std::string(" ") + sz;
            }
        }
        hAtList = WindowFromPoint({rcCombo.left + 4, (rcCombo.top + rcCombo.bottom) / 2});
        // A click on the list, as a person makes it.
        const POINT pt = {(rcCombo.left + rcCombo.right) / 2, (rcCombo.top + rcCombo.bottom) / 2};
        SetForegroundWindow(hDlg);
        SetCursorPos(pt.x, pt.y);
        POINT ptClient = pt;
        ScreenToClient(hList, &ptClient);
        SendMessageA(hList, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ptClient.x, ptClient.y));
        SendMessageA(hList, WM_LBUTTONUP, 0, MAKELPARAM(ptClient.x, ptClient.y));
        PumpUntil([&] { return SendMessageA(hList, CB_GETDROPPEDSTATE, 0, 0) != 0; }, 2000);
        PumpPending();
        bDropped = SendMessageA(hList, CB_GETDROPPEDSTATE, 0, 0) != 0;
        nItemHeight = static_cast<int>(SendMessageA(hList, CB_GETITEMHEIGHT, 0, 0));
        nCount = static_cast<int>(SendMessageA(hList, CB_GETCOUNT, 0, 0));
        GetComboBoxInfo(hList, &info);
        if (info.hwndList != NULL && IsWindowVisible(info.hwndList)) {
            GetWindowRect(info.hwndList, &rcDropped);
            hAtTop = WindowFromPoint({(rcDropped.left + rcDropped.right) / 2, rcDropped.top + nItemHeight / 2});
            hAtBottom = WindowFromPoint({(rcDropped.left + rcDropped.right) / 2, rcDropped.bottom - nItemHeight / 2});
        }
        SendMessageA(hList, CB_SHOWDROPDOWN, FALSE, 0);
        return IDCANCEL;
    });
    // The export's browser: with the folder box and the new dialog style.
    C3DDirDialog dlg("Export smilies", BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE, NULL, "Export as:",
                     "Files|A page|A page with addresses");
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_EQ(answerer.nAsked, 1);
    EXPECT_TRUE(bDropped) << "the click dropped the list";
    ASSERT_TRUE(info.hwndList != NULL);
    EXPECT_EQ(nCount, 3);
    EXPECT_GE(rcDropped.bottom - rcDropped.top, nCount * nItemHeight)
        << "every entry in view: " << rcDropped.bottom - rcDropped.top << " pixels for " << nCount << " rows of "
        << nItemHeight;
    EXPECT_EQ(strCovering, "") << "controls over the closed list";
    EXPECT_TRUE(hAtList == info.hwndCombo || IsChild(info.hwndCombo, hAtList)) << "the closed list is not covered";
    EXPECT_EQ(hAtTop, info.hwndList) << "the first row is not covered";
    EXPECT_EQ(hAtBottom, info.hwndList) << "the last row is not covered";
    if (HasFailure())
        ADD_FAILURE() << "dropped (" << rcDropped.left << "," << rcDropped.top << ")-(" << rcDropped.right << ","
                      << rcDropped.bottom << ") screen; the children in z-order:" << strLayout;
    if (SUCCEEDED(hr))
        CoUninitialize();
}

// Runs in a process started under the Japanese locale (tests/CMakeLists.txt):
// a folder whose name ends in a double-byte character with the second byte
// '\' still gets its separator.
TEST(DirDialog3DCodePage932, PathEndsInASeparatorAfterADoubleByteName)
{
    ASSERT_EQ(932u, GetACP());
    const struct Row {
        const char* path;
        const char* expected;
    } rows[] = {
        {"C:\\\x83\x5C", "C:\\\x83\x5C\\"},                  // "so"
        {"C:\\\x95\x5C\x8E\xA6", "C:\\\x95\x5C\x8E\xA6\\"},  // "display"
        {"C:\\\x83\x5C\\", "C:\\\x83\x5C\\"},
    };
    for (const Row& r : rows) {
        CCommonAnswerer answerer([&](CCommonDialog* p) -> INT_PTR {
            lstrcpynA(static_cast<C3DDirDialog*>(p)->m_szPath, r.path, MAX_PATH);
            return IDOK;
        });
        C3DDirDialog dlg("Choose a folder", BIF_RETURNONLYFSDIRS, NULL);
        ASSERT_EQ(dlg.DoModal(), IDOK);
        EXPECT_STREQ(dlg.GetPath(), r.expected) << r.path;
    }
}

// The choice list goes under the folder tree, whatever the shell's layout;
// an empty list leaves the browser as it is.
TEST(DirDialog3D, ChoiceListUnderTheTree)
{
    HRESULT hr = CoInitialize(NULL);
    const UINT nModify = RegisterWindowMessageA(TVNX_MSG_MODIFYDIRDLG);
    for (const char* pszChoices : {"First|Second\r\nThird", ""}) {
        const bool bList = pszChoices[0] != '\0';
        int nEntries = -1, nChildrenBefore = 0, nChildrenAfter = 0;
        RECT rcTree = {}, rcList = {}, rcClient = {};
        HWND hList = NULL;
        CCommonAnswerer answerer([&](CCommonDialog* p) -> INT_PTR {
            HWND hDlg = p->m_hWnd;
            for (HWND h = GetWindow(hDlg, GW_CHILD); h != NULL; h = GetWindow(h, GW_HWNDNEXT))
                nChildrenBefore++;
            SendMessageA(hDlg, nModify, 0, 0);
            for (HWND h = GetWindow(hDlg, GW_CHILD); h != NULL; h = GetWindow(h, GW_HWNDNEXT))
                nChildrenAfter++;
            hList = static_cast<C3DDirDialog*>(p)->m_hList;
            if (hList != NULL) {
                nEntries = static_cast<int>(SendMessageA(hList, CB_GETCOUNT, 0, 0));
                GetWindowRect(hList, &rcList);
                MapWindowPoints(NULL, hDlg, reinterpret_cast<POINT*>(&rcList), 2);
                SendMessageA(hList, CB_SETCURSEL, 2, 0);
                SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hList), CBN_SELCHANGE),
                             reinterpret_cast<LPARAM>(hList));
            }
            HWND hTree = FindDescendant(hDlg, "SysTreeView32");
            if (hTree != NULL) {
                GetWindowRect(hTree, &rcTree);
                MapWindowPoints(NULL, hDlg, reinterpret_cast<POINT*>(&rcTree), 2);
            }
            GetClientRect(hDlg, &rcClient);
            return IDCANCEL;
        });
        C3DDirDialog dlg("Import a folder", BIF_RETURNONLYFSDIRS, NULL, "Into:", pszChoices);
        EXPECT_EQ(dlg.DoModal(), IDCANCEL) << pszChoices;
        ASSERT_EQ(answerer.nAsked, 1) << pszChoices;
        if (!bList) {
            EXPECT_EQ(nChildrenAfter, nChildrenBefore) << "nothing added without choices";
            EXPECT_TRUE(hList == NULL);
            continue;
        }
        ASSERT_TRUE(hList != NULL) << "the list was added";
        EXPECT_EQ(nChildrenAfter, nChildrenBefore + 2) << "a label and a list";
        EXPECT_EQ(nEntries, 3);
        EXPECT_EQ(dlg.GetChoice(), 2) << "the chosen entry is kept after the dialog closed";
        EXPECT_FALSE(IsWindow(hList)) << "the added controls go with the window";
        EXPECT_GE(rcList.top, rcTree.bottom) << "the list lies under the tree";
        EXPECT_LE(rcList.bottom, rcClient.bottom);
        EXPECT_LE(rcList.right, rcClient.right);
    }
    if (SUCCEEDED(hr))
        CoUninitialize();
}
