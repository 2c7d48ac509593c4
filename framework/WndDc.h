// Device contexts of a window, released when the object goes: CPaintDC
// (BeginPaint/EndPaint inside WM_PAINT), CClientDC and CWindowDC.
#pragma once

#include "framework/Dc.h"
#include "framework/Wnd.h"

class CPaintDC : public CDC
{
public:
    explicit CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd) { Attach(::BeginPaint(m_hWnd, &m_ps)); }
    ~CPaintDC() override
    {
        Detach();
        ::EndPaint(m_hWnd, &m_ps);
    }
    PAINTSTRUCT m_ps;

protected:
    HWND m_hWnd;
};

class CClientDC : public CDC
{
public:
    explicit CClientDC(CWnd* pWnd) : m_hWnd(CWnd::SafeHwnd(pWnd)) { Attach(::GetDC(m_hWnd)); }
    ~CClientDC() override { ::ReleaseDC(m_hWnd, Detach()); }

protected:
    HWND m_hWnd;
};

class CWindowDC : public CDC
{
public:
    explicit CWindowDC(CWnd* pWnd) : m_hWnd(CWnd::SafeHwnd(pWnd)) { Attach(::GetWindowDC(m_hWnd)); }
    ~CWindowDC() override { ::ReleaseDC(m_hWnd, Detach()); }

protected:
    HWND m_hWnd;
};
