// A current language for window tests: entry n reads "L<n>" unless the test
// gives its own text, so a test sees which entry a window shows.
#pragma once

#include "services/Languages.h"

#include <cstdlib>
#include <cstring>
#include <string>

class CNumberedLanguage
{
public:
    explicit CNumberedLanguage(int nCount = 600)
    {
        m_language.m_nCount = nCount;
        m_language.m_ppStrings = static_cast<char**>(calloc(size_t(nCount), sizeof(char*)));
        for (int n = 0; n < nCount; n++)
            Set(n, "L" + std::to_string(n));
        m_pPrevious = g_pCurrentLanguage;
        g_pCurrentLanguage = &m_language;
    }
    ~CNumberedLanguage() { g_pCurrentLanguage = m_pPrevious; }

    void Set(int n, const std::string& str)
    {
        free(m_language.m_ppStrings[n]);
        m_language.m_ppStrings[n] = static_cast<char*>(malloc(str.size() + 1));
        memcpy(m_language.m_ppStrings[n], str.c_str(), str.size() + 1);
    }

    CNumberedLanguage(const CNumberedLanguage&) = delete;
    CNumberedLanguage& operator=(const CNumberedLanguage&) = delete;

private:
    CLanguage m_language;
    CLanguage* m_pPrevious;
};
