#include "framework/Menu.h"
#include "framework/ModalAnswerer.h"
#include "framework/Module.h"
#include "framework/Wnd.h"
#include "framework/HandleMap.h"


IMPLEMENT_DYNAMIC(CMenu, CObject)

namespace {

CHandleMap<HMENU, CMenu>& PermanentMenus()
{
    static CHandleMap<HMENU, CMenu> map;
    return map;
}

CTempHandleMap<HMENU, CMenu> g_tempMenus([](CMenu* pView) { pView->m_hMenu = NULL; });

// The loader calls every PIMAGE_TLS_CALLBACK placed in the .CRT$XL* sections on
// each ending thread at DLL_THREAD_DETACH, holding the loader lock: the views of
// a thread the framework did not start are deleted there (DeleteAll takes no
// lock and makes no window call, so it cannot wait on another thread).
void NTAPI DeleteTempMenusAtThreadExit(PVOID, DWORD dwReason, PVOID)
{
    if (dwReason == DLL_THREAD_DETACH)
        g_tempMenus.DeleteAll();
}
__attribute__((section(".CRT$XLE"), used)) PIMAGE_TLS_CALLBACK g_pfnDeleteTempMenusAtThreadExit = DeleteTempMenusAtThreadExit;

// The menu TrackPopupMenu shows on this thread, and the popup that most
// recently announced itself with WM_INITMENUPOPUP.
thread_local HMENU t_hTrackingMenu = NULL;
thread_local HMENU t_hLastPopup = NULL;

CMenu* FindMenuOfItem(HMENU hMenu, UINT nID, CMenu* pNearest, int nDepth)
{
    if (hMenu == NULL || !::IsMenu(hMenu) || nDepth > 16)
        return NULL;
    CMenu* pOwn = CMenu::FromHandlePermanent(hMenu);
    if (pOwn != NULL)
        pNearest = pOwn;
    int nCount = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < nCount; ++i) {
        HMENU hSub = ::GetSubMenu(hMenu, i);
        if (hSub != NULL) {
            // An owner-drawn item that opens a submenu has the submenu's handle as its id.
            if (static_cast<UINT>(reinterpret_cast<UINT_PTR>(hSub)) == nID)
                return pNearest;
            CMenu* pFound = FindMenuOfItem(hSub, nID, pNearest, nDepth + 1);
            if (pFound != NULL)
                return pFound;
        } else if (::GetMenuItemID(hMenu, i) == nID) {
            return pNearest;
        }
    }
    return NULL;
}

} // namespace

CMenu::CMenu() : m_hMenu(NULL)
{
}

CMenu::~CMenu()
{
    DestroyMenu();
}

CMenu* PASCAL CMenu::FromHandlePermanent(HMENU hMenu)
{
    return hMenu == NULL ? NULL : PermanentMenus().Lookup(hMenu);
}

CMenu* PASCAL CMenu::FromHandle(HMENU hMenu)
{
    if (hMenu == NULL)
        return NULL;
    CMenu* pMenu = FromHandlePermanent(hMenu);
    if (pMenu != NULL)
        return pMenu;
    return g_tempMenus.Get(hMenu, [hMenu] {
        CMenu* pView = new CMenu;
        pView->m_hMenu = hMenu;
        return pView;
    });
}

void PASCAL CMenu::DeleteTempMap()
{
    g_tempMenus.DeleteAll();
}

BOOL CMenu::Attach(HMENU hMenu)
{
    if (m_hMenu != NULL || hMenu == NULL || !PermanentMenus().Add(hMenu, this))
        return FALSE;
    m_hMenu = hMenu;
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU hMenu = m_hMenu;
    if (hMenu != NULL)
        PermanentMenus().Remove(hMenu, this);
    m_hMenu = NULL;
    return hMenu;
}

BOOL CMenu::CreateMenu()
{
    return m_hMenu == NULL && Attach(::CreateMenu());
}

BOOL CMenu::CreatePopupMenu()
{
    return m_hMenu == NULL && Attach(::CreatePopupMenu());
}

BOOL CMenu::LoadMenu(LPCSTR lpszResourceName)
{
    if (m_hMenu != NULL)
        return FALSE;
    HMENU hMenu = ::LoadMenuA(AfxGetResourceHandle(), lpszResourceName);
    if (hMenu == NULL)
        return FALSE;
    if (!Attach(hMenu)) {
        ::DestroyMenu(hMenu);
        return FALSE;
    }
    return TRUE;
}

BOOL CMenu::DestroyMenu()
{
    if (m_hMenu == NULL)
        return FALSE;
    // Only a menu bound to this object is ours to destroy.
    BOOL bOwned = FromHandlePermanent(m_hMenu) == this;
    HMENU hMenu = Detach();
    return bOwned ? ::DestroyMenu(hMenu) : FALSE;
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const
{
    int nLen = ::GetMenuStringA(m_hMenu, nIDItem, NULL, 0, nFlags);
    if (nLen <= 0) {
        rString.Empty();
        return 0;
    }
    LPSTR p = rString.GetBuffer(nLen);
    int nGot = ::GetMenuStringA(m_hMenu, nIDItem, p, nLen + 1, nFlags);
    rString.ReleaseBuffer(nGot < 0 ? 0 : (nGot > nLen ? nLen : nGot));
    return rString.GetLength();
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect)
{
    TPMPARAMS params;
    params.cbSize = sizeof(params);
    if (lpRect != NULL)
        params.rcExclude = *lpRect;
    return TrackPopupMenuEx(nFlags, x, y, pWnd, lpRect != NULL ? &params : NULL);
}

BOOL CMenu::TrackPopupMenuEx(UINT fuFlags, int x, int y, CWnd* pWnd, LPTPMPARAMS lptpm)
{
    CModalAnswerer* pAnswerer = AfxGetModalAnswerer();
    UINT nCommand = 0;
    if (pAnswerer != NULL && pAnswerer->OnPopupMenu(this, fuFlags, x, y, pWnd, &nCommand)) {
        if (fuFlags & TPM_RETURNCMD)
            return static_cast<BOOL>(nCommand);
        if (nCommand != 0 && pWnd != NULL)
            ::PostMessageA(pWnd->m_hWnd, WM_COMMAND, nCommand, 0);
        return TRUE;
    }
    HMENU hOuter = t_hTrackingMenu;
    t_hTrackingMenu = m_hMenu;
    BOOL bResult = ::TrackPopupMenuEx(m_hMenu, fuFlags, x, y, CWnd::SafeHwnd(pWnd), lptpm);
    t_hTrackingMenu = hOuter;
    return bResult;
}

void CMenu::DrawItem(LPDRAWITEMSTRUCT)
{
}

void CMenu::MeasureItem(LPMEASUREITEMSTRUCT)
{
}

BOOL AfxDrawMenuItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    CMenu* pMenu = CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(lpDrawItemStruct->hwndItem));
    if (pMenu == NULL)
        return FALSE;
    pMenu->DrawItem(lpDrawItemStruct);
    return TRUE;
}

BOOL AfxMeasureMenuItem(HWND hWndOwner, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    // WM_MEASUREITEM carries the item id but no menu: look for the item in
    // the menus that can be opening now and take the object of the nearest
    // menu around it.
    HMENU candidates[3] = {t_hTrackingMenu, t_hLastPopup, NULL};
    if (hWndOwner != NULL && !(::GetWindowLongA(hWndOwner, GWL_STYLE) & WS_CHILD))
        candidates[2] = ::GetMenu(hWndOwner);
    for (HMENU hMenu : candidates) {
        CMenu* pMenu = FindMenuOfItem(hMenu, lpMeasureItemStruct->itemID, NULL, 0);
        if (pMenu != NULL) {
            pMenu->MeasureItem(lpMeasureItemStruct);
            return TRUE;
        }
    }
    return FALSE;
}

void AfxNoteMenuPopup(HMENU hMenuPopup)
{
    t_hLastPopup = hMenuPopup;
}
