#include "services/Languages.h"

#include "services/FolderFiles.h"

#include "framework/File.h"
#include "framework/FileException.h"
#include "framework/FileFind.h"
#include "ui3d/system/SysUtils.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

CSequence<CLanguage*> g_Languages;
CLanguage* g_pCurrentLanguage = NULL;

namespace {

// Whatever is still loaded when the program's statics are destroyed; declared
// after g_Languages so that it runs before the list itself goes.
struct LANGUAGESCLEANUP
{
    ~LANGUAGESCLEANUP() { FreeLanguages(); }
} s_cleanup;

const char kUnknown[] = "- File \"%s\" line %d: Unknown string.\r\n";
const char kOutOfRange[] = "- File \"%s\" line %d: String ID is out of range.\r\n";
const char kNoQuotes[] = "- File \"%s\" line %d: String must be enclosed with double quotation marks.\r\n";
const char kTooLong[] = "- File \"%s\" line %d: String is suspiciously long.\r\n";
const char kEmpty[] = "- File \"%s\" line %d: String is empty.\r\n";
const char kNoMemoryForString[] = "- File \"%s\" line %d: Can't allocate memory for this string.\r\n";

// Appends pszFormat to the report with "%s" as the title ("file" when it has
// none) and a "%d" conversion (flags and width allowed) as the number, in
// whichever order they stand.
void FormatLoaderMessage(LPCTSTR pszFormat, CString* pReport, LPCTSTR pszTitle, int nNumber)
{
    if (pReport == NULL)
        return;
    if (pszTitle == NULL || *pszTitle == '\0')
        pszTitle = "file";
    CString str;
    for (const char* p = pszFormat; *p != '\0'; p++) {
        if (*p != '%') {
            str += *p;
            continue;
        }
        const char* pConv = p + 1;
        while (*pConv != '\0' && strchr("0123456789-+ #", *pConv) != NULL)
            pConv++;
        if (*pConv == 's') {
            str += pszTitle;
        } else if (*pConv == 'd') {
            char szConversion[16];
            char szNumber[48];
            const size_t nConversion = size_t(pConv - p) + 1;
            if (nConversion >= sizeof(szConversion))
                break;
            memcpy(szConversion, p, nConversion);
            szConversion[nConversion] = '\0';
            snprintf(szNumber, sizeof(szNumber), szConversion, nNumber);
            str += szNumber;
        } else if (*pConv == '%') {
            str += '%';
        } else {
            break;
        }
        p = pConv;
    }
    *pReport += str;
}

// The file name without its folder and its extension.
CString FileTitleOf(LPCTSTR pszPath)
{
    const char* pszName = pszPath;
    if (const char* pCut = FindLastCharOf(pszPath, "\\/:"))
        pszName = pCut + 1;
    const char* pszDot = strrchr(pszName, '.');
    return pszDot != NULL ? CString(pszName, int(pszDot - pszName)) : CString(pszName);
}

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\v' || ch == '\f';
}

// A decimal number of [p, pEnd): blanks, a sign, digits; reading stops at the
// first non-digit, no digits read as 0. The magnitude saturates far above any
// valid id, so a long run of digits is refused as too large instead of
// wrapping round to some small id.
long ReadDecimal(const char* p, const char* pEnd)
{
    while (p < pEnd && IsBlank(*p))
        p++;
    bool bNegative = false;
    if (p < pEnd && (*p == '+' || *p == '-')) {
        bNegative = *p == '-';
        p++;
    }
    long nValue = 0;
    for (; p < pEnd && *p >= '0' && *p <= '9'; p++) {
        if (nValue < 100000000L)
            nValue = nValue * 10 + (*p - '0');
    }
    return bNegative ? -nValue : nValue;
}

// Copies the text between the quotes, turning "\n", "\r" and "\t" into their
// characters; a backslash before anything else stays. NULL when out of memory.
char* Unescape(const char* p, int nLength, int* pnOut)
{
    char* pszText = static_cast<char*>(malloc(size_t(nLength) + 1));
    if (pszText == NULL)
        return NULL;
    int nOut = 0;
    for (int i = 0; i < nLength; i++) {
        char ch = p[i];
        if (ch == '\\' && i + 1 < nLength) {
            const char next = p[i + 1];
            if (next == 'n' || next == 'r' || next == 't') {
                ch = next == 'n' ? '\n' : next == 'r' ? '\r' : '\t';
                i++;
            }
        }
        pszText[nOut++] = ch;
    }
    pszText[nOut] = '\0';
    *pnOut = nOut;
    return pszText;
}

void FreeRecords(CSequence<LANGSTRING>& records)
{
    for (int i = 0; i < records.GetSize(); i++)
        free(records[i].pszText);
    records.RemoveAll();
}

// Parses one line [p, pEnd) (without its LF). Appends a record or reports why not.
void ParseLine(const char* p, const char* pEnd, int nLine, LPCTSTR pszTitle, CString* pReport,
               CSequence<LANGSTRING>& records)
{
    while (p < pEnd && (*p == ' ' || *p == '\t'))
        p++;
    if (p == pEnd || (*p == '\r' && p + 1 == pEnd))
        return;
    if (pEnd - p >= 2 && p[0] == '/' && p[1] == '/')
        return;
    if (*p != '#') {
        FormatLoaderMessage(kUnknown, pReport, pszTitle, nLine);
        return;
    }
    const long nId = ReadDecimal(p + 1, pEnd);
    if (nId < 1) {
        FormatLoaderMessage(kUnknown, pReport, pszTitle, nLine);
        return;
    }
    if (nId >= LANG_MAX_ID) {
        FormatLoaderMessage(kOutOfRange, pReport, pszTitle, nLine);
        return;
    }
    const char* pFirst = NULL;
    for (const char* q = p + 2; q < pEnd; q++) {
        if (*q == '"') {
            pFirst = q;
            break;
        }
    }
    const char* pLast = NULL;
    for (const char* q = pEnd; q > p + 2;) {
        if (*--q == '"') {
            pLast = q;
            break;
        }
    }
    if (pFirst == NULL || pLast == NULL || pLast <= pFirst) {
        FormatLoaderMessage(kNoQuotes, pReport, pszTitle, nLine);
        return;
    }
    const long long nRaw = pLast - pFirst - 1;
    if (nRaw >= LANG_MAX_TEXT) {
        FormatLoaderMessage(kTooLong, pReport, pszTitle, nLine);
        return;
    }
    if (nRaw == 0) {
        FormatLoaderMessage(kEmpty, pReport, pszTitle, nLine);
        return;
    }
    LANGSTRING record;
    record.nId = int(nId);
    record.pszText = Unescape(pFirst + 1, int(nRaw), &record.nLength);
    if (record.pszText == NULL) {
        FormatLoaderMessage(kNoMemoryForString, pReport, pszTitle, nLine);
        return;
    }
    try {
        records.Add(record);
    } catch (...) {
        free(record.pszText);
        throw;
    }
}

// Parses the ANSI text (which ends at its first zero or after cch characters).
void ParseText(const char* pText, size_t cch, LPCTSTR pszTitle, CString* pReport, CSequence<LANGSTRING>& records)
{
    const char* pEnd = pText + strnlen(pText, cch);
    int nLine = 1;
    for (const char* p = pText; p < pEnd; nLine++) {
        const char* pLineEnd = static_cast<const char*>(memchr(p, '\n', size_t(pEnd - p)));
        if (pLineEnd == NULL)
            pLineEnd = pEnd;
        ParseLine(p, pLineEnd, nLine, pszTitle, pReport, records);
        p = pLineEnd < pEnd ? pLineEnd + 1 : pEnd;
    }
}

bool ReadWholeFile(LPCTSTR pszPath, LPCTSTR pszTitle, CString* pReport, BYTE** ppBytes, UINT* pcb)
{
    CFile file;
    if (!file.Open(pszPath, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary | CFile::osSequentialScan)) {
        FormatLoaderMessage("- Can't open language file \"%s\".\r\n", pReport, pszTitle, 0);
        return false;
    }
    ULONGLONG nSize = 0;
    try {
        nSize = file.GetLength();
    } catch (CException* e) {
        e->Delete();
        FormatLoaderMessage("- Can't read language file \"%s\".\r\n", pReport, pszTitle, 0);
        return false;
    }
    if (nSize < ULONGLONG(LANG_MIN_FILE_SIZE) || nSize > ULONGLONG(LANG_MAX_FILE_SIZE)) {
        FormatLoaderMessage("- Language file \"%s\" is either too short or too long.\r\n", pReport, pszTitle, 0);
        return false;
    }
    const UINT cb = UINT(nSize);
    BYTE* pBytes = static_cast<BYTE*>(malloc(size_t(cb) + 2));
    if (pBytes == NULL) {
        FormatLoaderMessage("- Can't allocate memory for language file \"%s\".\r\n", pReport, pszTitle, 0);
        return false;
    }
    UINT cbRead = 0;
    try {
        cbRead = file.Read(pBytes, cb);
    } catch (CException* e) {
        e->Delete();
        cbRead = 0;
    }
    if (cbRead != cb) {
        free(pBytes);
        FormatLoaderMessage("- Can't read language file \"%s\".\r\n", pReport, pszTitle, 0);
        return false;
    }
    pBytes[cb] = 0;
    pBytes[cb + 1] = 0;
    *ppBytes = pBytes;
    *pcb = cb;
    return true;
}

bool IsEnglish(const CLanguage* pLanguage)
{
    LPCTSTR pszName = pLanguage->GetName();
    return pszName != NULL && _stricmp(pszName, "English") == 0;
}

LPCTSTR SortName(const CLanguage* pLanguage)
{
    LPCTSTR pszName = pLanguage->GetName();
    return pszName != NULL ? pszName : "ERROR";
}

void DeleteAll(CSequence<CLanguage*>& list)
{
    for (int i = 0; i < list.GetSize(); i++)
        delete list[i];
    list.RemoveAll();
}

// Among the languages with at least LANG_FULL_COUNT entries, the one named
// "English", else the last of them; NULL when there is none.
CLanguage* FindReferenceLanguage(CSequence<CLanguage*>& list)
{
    CLanguage* pLast = NULL;
    for (int i = 0; i < list.GetSize(); i++) {
        CLanguage* pLanguage = list[i];
        if (pLanguage->GetCount() < LANG_FULL_COUNT)
            continue;
        if (IsEnglish(pLanguage))
            return pLanguage;
        pLast = pLanguage;
    }
    return pLast;
}

// Gives every shorter language copies of the reference's later entries.
void CompleteLanguagesFrom(CSequence<CLanguage*>& list, const CLanguage* pReference)
{
    const int nFull = pReference->GetCount();
    for (int i = 0; i < list.GetSize(); i++) {
        CLanguage* pLanguage = list[i];
        if (pLanguage == pReference || pLanguage->m_nCount >= nFull)
            continue;
        char** ppStrings = static_cast<char**>(realloc(pLanguage->m_ppStrings, sizeof(char*) * size_t(nFull)));
        if (ppStrings == NULL)
            AfxThrowMemoryException();
        pLanguage->m_ppStrings = ppStrings;
        for (int n = pLanguage->m_nCount; n < nFull; n++)
            ppStrings[n] = NULL;
        // The count grows with every copy made, so a failure part-way leaves
        // a consistent language.
        for (int n = pLanguage->m_nCount; n < nFull; n++) {
            LPCTSTR pszSource = pReference->GetString(n);
            if (pszSource != NULL) {
                ppStrings[n] = _strdup(pszSource);
                if (ppStrings[n] == NULL)
                    AfxThrowMemoryException();
            }
            pLanguage->m_nCount = n + 1;
        }
    }
}

// By name without case, "English" first: the options list the languages in
// this order and the first is the default.
void SortLanguages(CSequence<CLanguage*>& list)
{
    if (list.GetSize() < 2)
        return;
    std::stable_sort(list.m_pData, list.m_pData + list.GetSize(), [](CLanguage** a, CLanguage** b) {
        const bool bEnglishA = IsEnglish(*a);
        const bool bEnglishB = IsEnglish(*b);
        if (bEnglishA != bEnglishB)
            return bEnglishA;
        return _stricmp(SortName(*a), SortName(*b)) < 0;
    });
}

}   // namespace

CLanguage::CLanguage() : m_ppStrings(NULL), m_nCount(0)
{
}

CLanguage::~CLanguage()
{
    Free();
}

void CLanguage::Free()
{
    for (int i = 0; i < m_nCount; i++)
        free(m_ppStrings[i]);
    free(m_ppStrings);
    m_ppStrings = NULL;
    m_nCount = 0;
    m_strTitle.Empty();
}

BOOL LoadLanguageFile(LPCTSTR pszPath, CString* pReport, CLanguage* pLanguage)
{
    const CString strTitle = FileTitleOf(pszPath != NULL ? pszPath : "");
    if (strTitle.IsEmpty()) {
        if (pReport != NULL)
            *pReport += "- Invalid language file name.\r\n";
        return FALSE;
    }
    BYTE* pBytes = NULL;
    UINT cb = 0;
    if (!ReadWholeFile(pszPath, strTitle, pReport, &pBytes, &cb))
        return FALSE;

    CSequence<LANGSTRING> records;
    try {
        if (cb >= 2 && pBytes[0] == 0xFF && pBytes[1] == 0xFE) {
            // The whole text at once: the conversion sizes its result first, so
            // characters that take two bytes in the code page all arrive, and
            // line ends keep their places.
            char* pszText = ConvertUnicodeBufferToAnsi(int(cb), pBytes, NULL);
            try {
                ParseText(pszText, strlen(pszText), strTitle, pReport, records);
            } catch (...) {
                delete[] pszText;
                throw;
            }
            delete[] pszText;
        } else {
            ParseText(reinterpret_cast<const char*>(pBytes), cb, strTitle, pReport, records);
        }
    } catch (...) {
        free(pBytes);
        FreeRecords(records);
        throw;
    }
    free(pBytes);

    if (records.GetSize() == 0) {
        FormatLoaderMessage("- No valid records were found in language file \"%s\".\r\n", pReport, strTitle, 0);
        return FALSE;
    }
    int nCount = 0;
    for (int i = 0; i < records.GetSize(); i++)
        nCount = std::max(nCount, records[i].nId);
    char** ppStrings = static_cast<char**>(calloc(size_t(nCount), sizeof(char*)));
    if (ppStrings == NULL) {
        FreeRecords(records);
        AfxThrowMemoryException();
    }
    for (int i = 0; i < records.GetSize(); i++) {
        LANGSTRING& record = records[i];
        char*& pSlot = ppStrings[record.nId - 1];
        if (pSlot != NULL) {
            free(pSlot);
            FormatLoaderMessage("- Duplicate string ID #%05d is found in language file \"%s\".\r\n", pReport, strTitle,
                                record.nId);
        }
        pSlot = record.pszText;
        record.pszText = NULL;
    }
    records.RemoveAll();

    pLanguage->Free();
    pLanguage->m_ppStrings = ppStrings;
    pLanguage->m_nCount = nCount;
    pLanguage->m_strTitle = strTitle;
    return TRUE;
}

int CheckLanguage(const CLanguage* pLanguage, CString* pReport)
{
    CString strReport;
    const CString& strTitle = pLanguage->GetTitle();
    LPCTSTR pszVersion = pLanguage->GetString(LANGSTR_VERSION);
    const long nVersion = pszVersion != NULL ? ReadDecimal(pszVersion, pszVersion + strlen(pszVersion)) : 0;
    if (nVersion < 1) {
        if (strTitle.IsEmpty())
            strReport = "- Incorrect language file version.\r\n";
        else
            strReport.Format("- Incorrect version of language file \"%s\".\r\n", (LPCTSTR)strTitle);
        if (pReport != NULL)
            *pReport += strReport;
        return 0;
    }
    CString strHeading;
    if (strTitle.IsEmpty())
        strHeading = "- The following strings are missing:";
    else
        strHeading.Format("- The following strings are missing in language file \"%s\":", (LPCTSTR)strTitle);

    const int nCount = pLanguage->GetCount();
    bool bGaps = false;
    for (int n = 0; n < nCount; n++) {
        if (pLanguage->GetString(n) != NULL)
            continue;
        if (!bGaps)
            strReport = strHeading;
        bGaps = true;
        strReport.AppendFormat(" #%05d", n + 1);
    }
    if (bGaps) {
        strReport += "\r\n";
        if (pReport != NULL)
            *pReport += strReport;
        return 0;
    }
    if (nCount >= LANG_MIN_COUNT)
        return 1;
    strReport = strHeading;
    for (int nId = nCount + 1; nId <= LANG_MIN_COUNT; nId++)
        strReport.AppendFormat(" #%05d", nId);
    strReport += "\r\n";
    if (pReport != NULL)
        *pReport += strReport;
    return 0;
}

int LoadLanguages(LPCTSTR pszFolder, CString* pReport)
{
    // The folder's files are taken in name order, so that which of two files
    // with the same language name wins does not depend on the file system.
    CSequence<FOLDERFILE> files;
    ListFolderFiles(CString(pszFolder) + "*.lng", files);

    CSequence<CLanguage*> list;
    try {
        for (int i = 0; i < files.GetSize(); i++) {
            CLanguage* pLanguage = new CLanguage;
            bool bUsable = false;
            try {
                bUsable = LoadLanguageFile(files[i].strPath, pReport, pLanguage) && CheckLanguage(pLanguage, pReport) &&
                          pLanguage->GetName() != NULL;
            } catch (...) {
                delete pLanguage;
                throw;
            }
            if (!bUsable) {
                delete pLanguage;
                continue;
            }
            for (int j = 0; j < list.GetSize(); j++) {
                if (_stricmp(list[j]->GetName(), pLanguage->GetName()) == 0) {
                    delete list[j];
                    list.RemoveAt(j);
                    break;
                }
            }
            try {
                list.Add(pLanguage);
            } catch (...) {
                delete pLanguage;
                throw;
            }
        }
        if (list.GetSize() == 0) {
            if (pReport != NULL)
                *pReport += "\r\n- No valid language files were found.\r\n";
            return 0;
        }
        const CLanguage* pReference = FindReferenceLanguage(list);
        if (pReference == NULL) {
            DeleteAll(list);
            if (pReport != NULL)
                *pReport += "\r\n- No complete language files were found.\r\n";
            return 0;
        }
        CompleteLanguagesFrom(list, pReference);
    } catch (...) {
        DeleteAll(list);
        throw;
    }

    FreeLanguages();
    // Hand the pointers over without copying the languages.
    std::swap(g_Languages.m_pData, list.m_pData);
    std::swap(g_Languages.m_nCapacity, list.m_nCapacity);
    std::swap(g_Languages.m_nCount, list.m_nCount);
    SortLanguages(g_Languages);
    g_pCurrentLanguage = g_Languages[0];
    return 1;
}

int SelectLanguage(LPCTSTR pszName)
{
    if (pszName == NULL)
        return 0;
    for (int i = 0; i < g_Languages.GetSize(); i++) {
        LPCTSTR pszLanguage = g_Languages[i]->GetName();
        if (pszLanguage != NULL && _stricmp(pszLanguage, pszName) == 0) {
            g_pCurrentLanguage = g_Languages[i];
            return 1;
        }
    }
    return 0;
}

static BOOL FillList(CSequence<CString>& list, int nEntry)
{
    list.RemoveAll();
    for (int i = 0; i < g_Languages.GetSize(); i++) {
        LPCTSTR psz = g_Languages[i]->GetString(nEntry);
        list.Add(CString(psz != NULL ? psz : "ERROR"));
    }
    return list.GetSize() != 0;
}

BOOL GetLanguageNameList(CSequence<CString>& list)
{
    return FillList(list, LANGSTR_NAME);
}

BOOL GetLanguageInfoList(CSequence<CString>& list)
{
    return FillList(list, LANGSTR_INFO);
}

void FreeLanguages()
{
    g_pCurrentLanguage = NULL;
    DeleteAll(g_Languages);
}
