// Helpers of the window tests: a bounded pump and a dialog template in memory.
#pragma once

#include <windows.h>

#include "tests/tools/Pump.h"

#include <cstring>
#include <vector>

// Builds a DLGTEMPLATE with its items (the published layout, DWORD-aligned items).
class DialogTemplate
{
public:
    DialogTemplate(DWORD style, int cx, int cy, const char* title)
    {
        Add32(style | DS_SETFONT);
        Add32(0);
        m_countAt = m_words.size();
        Add16(0);
        Add16(10), Add16(10), Add16((WORD)cx), Add16((WORD)cy);
        Add16(0);   // menu
        Add16(0);   // class
        AddText(title);
        Add16(8);
        AddText("MS Sans Serif");
    }

    // classAtom: 0x0080 button, 0x0081 edit, 0x0082 static, 0x0085 combo box.
    DialogTemplate& Item(WORD classAtom, WORD id, DWORD style, int x, int y, int cx, int cy, const char* text = "")
    {
        if (m_words.size() % 2)
            Add16(0);
        Add32(style | WS_CHILD | WS_VISIBLE);
        Add32(0);
        Add16((WORD)x), Add16((WORD)y), Add16((WORD)cx), Add16((WORD)cy);
        Add16(id);
        Add16(0xFFFF), Add16(classAtom);
        AddText(text);
        Add16(0);   // no creation data
        ++m_words[m_countAt];
        return *this;
    }

    LPCDLGTEMPLATEA Get()
    {
        m_aligned.assign((m_words.size() + 1) / 2, 0);
        memcpy(m_aligned.data(), m_words.data(), m_words.size() * sizeof(WORD));
        return reinterpret_cast<LPCDLGTEMPLATEA>(m_aligned.data());
    }

private:
    void Add16(WORD w) { m_words.push_back(w); }
    void Add32(DWORD d) { Add16(LOWORD(d)), Add16(HIWORD(d)); }
    void AddText(const char* s)
    {
        for (; *s; ++s)
            Add16((WORD)(unsigned char)*s);
        Add16(0);
    }

    std::vector<WORD> m_words;
    size_t m_countAt;
    std::vector<DWORD> m_aligned;
};
