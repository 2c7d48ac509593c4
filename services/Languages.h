// The program's texts. Every text the user sees comes from a language file
// ("*.lng" in the "Languages" folder beside the program): lines of "#<id>" and
// a text in double quotes. All files of the folder are read at start-up, the
// incomplete ones are completed from a reference language, and one language is
// current. GetLangString(N) gives entry N of the current language, the text
// whose id in the file is N+1. User-interface thread only.
#pragma once

#include "collection/Sequence.h"
#include "framework/Str.h"

#include <windows.h>

// Ids in a file run from 1 to this bound (exclusive).
const int LANG_MAX_ID = 1024;
// A text holds 1 to LANG_MAX_TEXT - 1 characters between its quotes.
const int LANG_MAX_TEXT = 3072;
// Size bounds of a language file, inclusive.
const int LANG_MIN_FILE_SIZE = 1024;
const int LANG_MAX_FILE_SIZE = 262144;
// A language is usable with at least this many gap-free entries ...
const int LANG_MIN_COUNT = 523;
// ... and a reference language, which completes the others, has at least this many.
const int LANG_FULL_COUNT = 589;
// Entries with a meaning of their own.
const int LANGSTR_NAME = 0;          // the language's display name
const int LANGSTR_INFO = 89;         // its description in the options
const int LANGSTR_VERSION = 184;     // a decimal number, at least 1

// One record while a file is parsed.
struct LANGSTRING
{
    char* pszText;     // unescaped, allocated with malloc
    int nLength;       // characters of pszText
    int nId;           // 1 .. LANG_MAX_ID - 1
};

class CLanguage
{
public:
    CLanguage();
    ~CLanguage();

    // Entry n (the text of id n+1), or NULL when the language has no such entry.
    LPCTSTR GetString(int n) const
    {
        return (n >= 0 && n < m_nCount) ? m_ppStrings[n] : NULL;
    }
    int GetCount() const { return m_nCount; }
    // The file name without folder and extension; the reports name it.
    const CString& GetTitle() const { return m_strTitle; }
    // Entry 0, or NULL.
    LPCTSTR GetName() const { return GetString(LANGSTR_NAME); }
    void Free();

    // Entry n holds the text of id n+1 or NULL; m_nCount is the highest id.
    char** m_ppStrings;
    int m_nCount;
    CString m_strTitle;

private:
    CLanguage(const CLanguage&) = delete;
    CLanguage& operator=(const CLanguage&) = delete;
};

// The loaded languages (owned by the list) and the current one (or NULL).
extern CSequence<CLanguage*> g_Languages;
extern CLanguage* g_pCurrentLanguage;

// Parses one file into pLanguage, replacing what it held. TRUE when at least
// one record was taken. Problems are appended to *pReport (may be NULL) as
// lines that end with "\r\n".
BOOL LoadLanguageFile(LPCTSTR pszPath, CString* pReport, CLanguage* pLanguage);
// 1 when the language has a version of 1 or more, no gaps and at least
// LANG_MIN_COUNT entries; else 0 with the reasons appended to *pReport.
int CheckLanguage(const CLanguage* pLanguage, CString* pReport);
// Reads every "*.lng" file of the folder (which ends with '\'). 1 when at
// least one language is usable and one of them can serve as the reference;
// the list then replaces g_Languages, sorted by name with "English" first, and
// its first language is current. 0 leaves g_Languages as it was.
int LoadLanguages(LPCTSTR pszFolder, CString* pReport);
// Makes the language named pszName (compared without case) current; 0 when
// there is none (the current language stays).
int SelectLanguage(LPCTSTR pszName);
// Empty the list, then add entry 0 (or 89) of every language in list order,
// "ERROR" where it is missing. TRUE when the list is not empty.
BOOL GetLanguageNameList(CSequence<CString>& list);
BOOL GetLanguageInfoList(CSequence<CString>& list);
// Frees every language; none is current afterwards.
void FreeLanguages();

// Entry n of the current language; "ERROR" when it has no such entry.
inline LPCTSTR GetLangString(int n)
{
    const CLanguage* pLanguage = g_pCurrentLanguage;
    LPCTSTR psz = pLanguage != NULL ? pLanguage->GetString(n) : NULL;
    return psz != NULL ? psz : "ERROR";
}
