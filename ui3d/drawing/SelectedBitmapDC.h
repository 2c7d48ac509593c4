// A memory DC with a bitmap selected into it for the length of a scope; the
// bitmap is put back out and the DC freed on exit (a bitmap selected into a
// DC can be neither deleted nor selected elsewhere).
#pragma once

#include <windows.h>

class CSelectedBitmapDC
{
public:
    CSelectedBitmapDC(HDC hRef, HBITMAP hBitmap) : m_hDC(::CreateCompatibleDC(hRef)), m_hOld(NULL)
    {
        if (m_hDC != NULL && hBitmap != NULL)
            m_hOld = ::SelectObject(m_hDC, hBitmap);
    }
    ~CSelectedBitmapDC()
    {
        if (m_hDC != NULL) {
            if (m_hOld != NULL)
                ::SelectObject(m_hDC, m_hOld);
            ::DeleteDC(m_hDC);
        }
    }
    HDC m_hDC;

private:
    HGDIOBJ m_hOld;
    CSelectedBitmapDC(const CSelectedBitmapDC&) = delete;
    CSelectedBitmapDC& operator=(const CSelectedBitmapDC&) = delete;
};
