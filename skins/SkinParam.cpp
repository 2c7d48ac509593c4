#include "skins/SkinParam.h"

#include <algorithm>

#include "framework/File.h"
#include "framework/FileException.h"
#include "ui3d/system/SysUtils.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

const char kListSeparators[] = ",;";
const char kValueSeparators[] = " \t,;)";

// The number syntax keeps its texts in a buffer of 16 characters.
const int kMaxNumberText = 15;

const DWORD kMinImageFile = 8;
const DWORD kMaxImageFile = 524288;

BOOL IsHexDigit(char ch)
{
    return isxdigit(static_cast<unsigned char>(ch)) != 0;
}

int HexValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    return (toupper(static_cast<unsigned char>(ch)) - 'A') + 10;
}

// Red, green and blue from three two-digit pairs.
COLORREF MakeColor(const int* pComponents)
{
    return RGB(pComponents[0], pComponents[1], pComponents[2]);
}

// Six hexadecimal digits RRGGBB, red first. FALSE with the first pair that
// is not hexadecimal in *pstrBadPair.
BOOL ReadRrggbb(const char* psz, COLORREF* pclr, CString* pstrBadPair)
{
    int components[3];
    for (int i = 0; i < 3; ++i) {
        const char* pPair = psz + 2 * i;
        if (!IsHexDigit(pPair[0]) || !IsHexDigit(pPair[1])) {
            *pstrBadPair = CString(pPair, 2);
            return FALSE;
        }
        components[i] = HexValue(pPair[0]) * 16 + HexValue(pPair[1]);
    }
    *pclr = MakeColor(components);
    return TRUE;
}

CString Quoted(const char* pszBefore, const CString& strPiece, const char* pszAfter)
{
    CString s(pszBefore);
    s += strPiece;
    s += pszAfter;
    return s;
}

}  // namespace

// --- numbers, ranges, splitting ---------------------------------------------

long ParseSkinNumber(const char* pszText, int* pbError)
{
    CString strText(pszText);
    strText.Trim(" \r\n\t");
    int bError = 1;
    long nResult = 0;
    if (strText.GetLength() > kMaxNumberText) {
        bError = 1;
    } else if (strText == "0") {
        bError = 0;
    } else {
        const int nBase = strncmp(strText, "0x", 2) == 0 ? 16 : 10;
        char* pEnd = nullptr;
        errno = 0;
        long long n = strtoll(strText, &pEnd, nBase);
        if (n > LONG_MAX)
            n = LONG_MAX;
        if (n < LONG_MIN)
            n = LONG_MIN;
        nResult = static_cast<long>(n);
        bError = (nResult == 0 || *pEnd != '\0') ? 1 : 0;
    }
    if (pbError != nullptr)
        *pbError = bError;
    return nResult;
}

void SplitSkinValue(const char* pszText, const char* pszSeparators, CSequence<CString>& pieces)
{
    const char* p = pszText;
    while (*p != '\0') {
        const size_t nLen = strcspn(p, pszSeparators);
        if (nLen > 0)
            pieces.Add(CString(p, static_cast<int>(nLen)));
        p += nLen;
        if (*p != '\0')
            ++p;
    }
}

void CSkinParam::ParseRanges(const char* pszText, CRanges& ranges)
{
    CSequence<CString> items;
    SplitSkinValue(pszText, kListSeparators, items);
    for (int i = 0; i < items.GetSize(); ++i) {
        CNumRange range;
        const int nArrow = items[i].Find("->");
        if (nArrow >= 0) {
            range.min = ParseSkinNumber(items[i].Left(nArrow));
            range.max = ParseSkinNumber(items[i].Mid(nArrow + 2));
        } else {
            range.min = range.max = ParseSkinNumber(items[i]);
        }
        ranges.Add(range);
    }
}

BOOL CSkinParam::IsInRanges(const CRanges& ranges, long n)
{
    if (ranges.GetSize() == 0)
        return TRUE;
    for (int i = ranges.GetSize() - 1; i >= 0; --i) {
        if (n >= ranges[i].min && n <= ranges[i].max)
            return TRUE;
    }
    return FALSE;
}

CString CSkinParam::FormatRanges(const CRanges& ranges)
{
    CString strText;
    for (int i = 0; i < ranges.GetSize(); ++i) {
        if (i > 0)
            strText += ", ";
        if (ranges[i].min == ranges[i].max)
            strText.AppendFormat("%ld", ranges[i].min);
        else
            strText.AppendFormat("%ld -> %ld", ranges[i].min, ranges[i].max);
    }
    return strText;
}

// --- the base ---------------------------------------------------------------

CSkinParam::CSkinParam(SKINPARAMTYPE nType, const char* pszName) : m_nType(nType)
{
    lstrcpynA(m_szName, pszName, sizeof(m_szName));
}

CImageReader* CSkinParam::GetImg() const
{
    // Program-wide and never written: the picture of every kind that has none.
    static CImageReader s_emptyImage;
    return &s_emptyImage;
}

const COLORREF* CSkinParam::GetClrs() const
{
    static const COLORREF s_defaultColors[6] = {0x7F7F7F, 0, 0, 0, 0, 0};
    return s_defaultColors;
}

int CSkinParam::Refuse(CSequence<CString>& errors, const CString& strMessage) const
{
    CString strLine(m_szName);
    strLine += ": ";
    strLine += strMessage;
    strLine += ";";
    errors.Add(strLine);
    return 0;
}

BOOL CSkinParam::BeginParse(const char* pszValue, int nTooLong, CSequence<CString>& errors, int* pnResult)
{
    m_bFound = TRUE;
    if (pszValue == nullptr || *pszValue == '\0') {
        *pnResult = Refuse(errors, "No input value was specified");
        return FALSE;
    }
    if (nTooLong > 0 && strlen(pszValue) >= static_cast<size_t>(nTooLong)) {
        *pnResult = Refuse(errors, "Input value is too long");
        return FALSE;
    }
    return TRUE;
}

// --- numbers and keywords ---------------------------------------------------

CSkinNumParam::CSkinNumParam(const char* pszName, long nDefault, const char* pszRanges)
    : CSkinParam(SKINPARAM_NUM, pszName), m_nValue(nDefault)
{
    ParseRanges(pszRanges, m_ranges);
}

struct CSkinNumParam::KEYWORDS
{
    std::string strKeywords, strValues;     // the lists they were made from
    CSequence<CString> keywords;
    CSequence<long> values;
};

// Every skin load builds a table in which a hundred parameters share a handful
// of keyword lists; splitting each list for each parameter cost more than the
// rest of the table. The lists are made once for the program and never change.
const CSkinNumParam::KEYWORDS* CSkinNumParam::SharedKeywords(const char* pszKeywords, const char* pszValues)
{
    static std::vector<std::unique_ptr<KEYWORDS>> s_lists;
    for (const std::unique_ptr<KEYWORDS>& p : s_lists) {
        if (p->strKeywords == pszKeywords && p->strValues == pszValues)
            return p->keywords.GetSize() > 0 ? p.get() : nullptr;
    }
    std::unique_ptr<KEYWORDS> pList(new KEYWORDS);
    pList->strKeywords = pszKeywords;
    pList->strValues = pszValues;
    CSequence<CString> keywords;
    SplitSkinValue(pszKeywords, kListSeparators, keywords);
    for (int i = 0; i < keywords.GetSize(); ++i) {
        CString strKeyword = keywords[i];
        strKeyword.Trim(" \t\r\n");
        pList->keywords.Add(strKeyword);
    }
    CSequence<CString> values;
    SplitSkinValue(pszValues, kListSeparators, values);
    for (int i = 0; i < values.GetSize(); ++i)
        pList->values.Add(ParseSkinNumber(values[i]));
    s_lists.push_back(std::move(pList));
    const KEYWORDS* pMade = s_lists.back().get();
    return pMade->keywords.GetSize() > 0 ? pMade : nullptr;
}

CSkinNumParam::CSkinNumParam(const char* pszName, const char* pszDefaultKeyword, const char* pszKeywords,
                             const char* pszValues)
    : CSkinParam(SKINPARAM_NUM, pszName), m_nValue(0),
      m_pKeywords(SharedKeywords(pszKeywords != nullptr ? pszKeywords : "", pszValues != nullptr ? pszValues : ""))
{
    FindKeyword(pszDefaultKeyword, &m_nValue);
}

BOOL CSkinNumParam::FindKeyword(const char* pszKeyword, long* pnValue) const
{
    if (m_pKeywords == nullptr)
        return FALSE;
    const CSequence<CString>& keywords = m_pKeywords->keywords;
    for (int i = keywords.GetSize() - 1; i >= 0; --i) {
        if (keywords[i].CompareNoCase(pszKeyword) == 0) {
            *pnValue = i < m_pKeywords->values.GetSize() ? m_pKeywords->values[i] : 0;
            return TRUE;
        }
    }
    return FALSE;
}

int CSkinNumParam::Parse(const char* pszValue, CSequence<CString>& errors)
{
    int nResult = 0;
    if (!BeginParse(pszValue, 48, errors, &nResult))
        return nResult;
    const char chFirst = pszValue[0];
    if (chFirst == '-' || (chFirst >= '0' && chFirst <= '9')) {
        if (HasKeywords())
            return Refuse(errors, "Wrong value. A keyword must be specified");
        int bError = 0;
        const long n = ParseSkinNumber(pszValue, &bError);
        if (bError)
            return Refuse(errors, "Wrong value. Must be a number");
        if (!IsInRanges(m_ranges, n))
            return Refuse(errors, "Wrong value. Must be within the range: " + FormatRanges(m_ranges));
        m_nValue = n;
        return 1;
    }
    if (!HasKeywords())
        return Refuse(errors, "Wrong value. Must be a number");
    if (!FindKeyword(pszValue, &m_nValue))
        return Refuse(errors, "Wrong keyword");
    return 1;
}

// --- text -------------------------------------------------------------------

CSkinStrParam::CSkinStrParam(const char* pszName, const char* pszDefault) : CSkinParam(SKINPARAM_STR, pszName)
{
    lstrcpynA(m_szValue, pszDefault, sizeof(m_szValue));
}

int CSkinStrParam::Parse(const char* pszValue, CSequence<CString>& errors)
{
    int nResult = 0;
    if (!BeginParse(pszValue, SKIN_MAX_VALUE + 1, errors, &nResult))
        return nResult;
    lstrcpynA(m_szValue, pszValue, sizeof(m_szValue));
    return 1;
}

// --- pictures ---------------------------------------------------------------

CSkinImgParam::CSkinImgParam(const char* pszName, int nMaxWidth, int nMaxHeight)
    : CSkinParam(SKINPARAM_IMG, pszName), m_pImage(new CImageReader), m_nMaxWidth(nMaxWidth),
      m_nMaxHeight(nMaxHeight)
{
}

CSkinImgParam::~CSkinImgParam()
{
    delete m_pImage;
}

CString CSkinImgParam::ResolvePath(const char* pszPath) const
{
    // The paths resolve as they would with the skin's folder current: absolute
    // ones ("C:\...", "\\server\...") stand as they are; a path from the root
    // of a drive takes the drive of the skin's folder; a drive-relative one
    // ("Z:img\box.bmp") starts in the skin's folder when it names that folder's
    // drive, and in that drive's own current folder otherwise.
    const BOOL bHasDrive = pszPath[0] != '\0' && pszPath[1] == ':';
    const BOOL bRooted = pszPath[0] == '\\' || pszPath[0] == '/';
    if (m_strBaseFolder.IsEmpty())
        return CString(pszPath);
    const BOOL bBaseHasDrive = m_strBaseFolder.GetLength() >= 2 && m_strBaseFolder[1] == ':';
    if (bHasDrive) {
        const BOOL bDriveRelative = pszPath[2] != '\\' && pszPath[2] != '/';
        if (!bDriveRelative)
            return CString(pszPath);
        if (bBaseHasDrive && std::toupper(static_cast<unsigned char>(pszPath[0])) == std::toupper(static_cast<unsigned char>(m_strBaseFolder[0])))
            return m_strBaseFolder + (pszPath + 2);
        char szFull[MAX_PATH];
        const DWORD n = ::GetFullPathNameA(pszPath, sizeof(szFull), szFull, NULL);
        return n != 0 && n < sizeof(szFull) ? CString(szFull) : CString(pszPath);
    }
    if (bRooted) {
        const BOOL bUnc = pszPath[1] == '\\' || pszPath[1] == '/';
        if (bUnc || !bBaseHasDrive)
            return CString(pszPath);
        return m_strBaseFolder.Left(2) + pszPath;
    }
    return m_strBaseFolder + pszPath;
}

int CSkinImgParam::Parse(const char* pszValue, CSequence<CString>& errors)
{
    int nResult = 0;
    if (!BeginParse(pszValue, 0, errors, &nResult))
        return nResult;
    if (_stricmp(pszValue, "NONE") == 0)
        return 1;

    const CString strPath(pszValue);
    CFile file;
    if (!file.Open(ResolvePath(pszValue), CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary))
        return Refuse(errors, Quoted("Can't open image \"", strPath, "\""));

    std::unique_ptr<BYTE[]> data;
    DWORD nLength = 0;
    try {
        const ULONGLONG nFileLength = file.GetLength();
        if (nFileLength < kMinImageFile || nFileLength > kMaxImageFile)
            return Refuse(errors, Quoted("File size is out of range in image \"", strPath, "\""));
        nLength = static_cast<DWORD>(nFileLength);
        data.reset(new (std::nothrow) BYTE[nLength]);
        if (!data)
            return 0;
        if (file.Read(data.get(), nLength) != nLength)
            return Refuse(errors, Quoted("Can't read image \"", strPath, "\""));
    } catch (CFileException* e) {
        e->Delete();
        return Refuse(errors, Quoted("Can't read image \"", strPath, "\""));
    }
    file.Close();

    std::unique_ptr<CImageReader> pImage(new CImageReader);
    // A picture the reader opened counts, frames or not (a GIF with no image
    // block has a size and draws nothing); whoever makes a bitmap of it asks
    // IsLoaded first.
    if (!CImageReader::LoadFromMemory(data.get(), *pImage, nLength, FALSE))
        return Refuse(errors, Quoted("Can't recognize image in \"", strPath, "\""));
    data.reset();

    const CSize size = pImage->GetReader()->GetSize();
    if (size.cx < 2 || size.cx > m_nMaxWidth || size.cy < 2 || size.cy > m_nMaxHeight) {
        CString strMessage = Quoted("Dimensions are out of range in image \"", strPath, "\", must be: ");
        strMessage.AppendFormat("(2-%d)x(2-%d)", m_nMaxWidth, m_nMaxHeight);
        return Refuse(errors, strMessage);
    }
    delete m_pImage;
    m_pImage = pImage.release();
    return 1;
}

// --- one colour -------------------------------------------------------------

CSkinClrParam::CSkinClrParam(const char* pszName, COLORREF clrDefault)
    : CSkinParam(SKINPARAM_CLR, pszName), m_clrValue(clrDefault)
{
}

int CSkinClrParam::Parse(const char* pszValue, CSequence<CString>& errors)
{
    static const char kWrongFormat[] =
        "Wrong color format, must be RGB(RR,GG,BB) where RR, GG and BB are the respective color components in "
        "hexadecimal form";
    int nResult = 0;
    if (!BeginParse(pszValue, 48, errors, &nResult))
        return nResult;

    int components[3] = {0, 0, 0};
    if (_strnicmp(pszValue, "RGB(", 4) == 0) {
        CSequence<CString> pieces;
        SplitSkinValue(pszValue + 4, kValueSeparators, pieces);
        int nRead = 0;
        for (int i = 0; i < pieces.GetSize(); ++i) {
            const CString& strPiece = pieces[i];
            if (nRead == 3)
                return Refuse(errors, Quoted("Unnecessary color component \"", strPiece,
                                             "\". There must be only 3 color components"));
            if (strPiece.GetLength() != 2)
                return Refuse(errors, Quoted("Wrong color component \"", strPiece,
                                             "\". Must be 2 hexadecimal digits long"));
            if (!IsHexDigit(strPiece[0]) || !IsHexDigit(strPiece[1]))
                return Refuse(errors, Quoted("Wrong color component \"", strPiece,
                                             "\". Must be in hexadecimal form"));
            components[nRead++] = HexValue(strPiece[0]) * 16 + HexValue(strPiece[1]);
        }
        // A form that ends before its third component names no colour.
        if (nRead < 3)
            return Refuse(errors, kWrongFormat);
        m_clrValue = MakeColor(components);
        return 1;
    }

    if (strlen(pszValue) != 6)
        return Refuse(errors, kWrongFormat);
    CString strBadPair;
    if (!ReadRrggbb(pszValue, &m_clrValue, &strBadPair))
        return Refuse(errors, Quoted("Wrong color component \"", strBadPair, "\". Must be in hexadecimal form"));
    return 1;
}

// --- six colours ------------------------------------------------------------

CSkinMultiClrParam::CSkinMultiClrParam(const COLORREF* pColors, const char* pszName)
    : CSkinParam(SKINPARAM_MULTICLR, pszName)
{
    memcpy(m_colors, pColors, sizeof(m_colors));
}

CSkinMultiClrParam::CSkinMultiClrParam(const char* pszName, COLORREF clr) : CSkinParam(SKINPARAM_MULTICLR, pszName)
{
    for (COLORREF& c : m_colors)
        c = clr;
}

int CSkinMultiClrParam::Parse(const char* pszValue, CSequence<CString>& errors)
{
    int nResult = 0;
    if (!BeginParse(pszValue, 48, errors, &nResult))
        return nResult;

    CSequence<CString> pieces;
    SplitSkinValue(pszValue, kValueSeparators, pieces);
    COLORREF colors[6];
    int nRead = 0;
    for (int i = 0; i < pieces.GetSize(); ++i) {
        const CString& strPiece = pieces[i];
        if (nRead == 6)
            return Refuse(errors, Quoted("Excessive color \"", strPiece, "\". There must be 6 colors specified"));
        if (strPiece.GetLength() != 6)
            return Refuse(errors, Quoted("Wrong color \"", strPiece, "\". Must be in RRGGBB form"));
        CString strBadPair;
        if (!ReadRrggbb(strPiece, &colors[nRead], &strBadPair))
            return Refuse(errors, Quoted("Wrong color component \"", strBadPair, "\". Must be in hexadecimal form"));
        ++nRead;
    }
    if (nRead < 6)
        return Refuse(errors, "Insufficient colors. There must be 6 colors specified");
    memcpy(m_colors, colors, sizeof(m_colors));
    return 1;
}

// --- points -----------------------------------------------------------------

CSkinPointParam::CSkinPointParam(const char* pszName, BOOL bIsRange, const char* pszXRanges, const char* pszYRanges,
                                 long x, long y)
    : CSkinParam(SKINPARAM_POINT, pszName), m_x(x), m_y(y), m_bIsRange(bIsRange)
{
    ParseRanges(pszXRanges, m_xRanges);
    if (pszYRanges != nullptr)
        ParseRanges(pszYRanges, m_yRanges);
    else
        m_yRanges = m_xRanges;
}

CSkinPointParam::CSkinPointParam(const char* pszName, long x, long y)
    : CSkinParam(SKINPARAM_POINT, pszName), m_x(x), m_y(y), m_bIsRange(FALSE)
{
}

int CSkinPointParam::Parse(const char* pszValue, CSequence<CString>& errors)
{
    int nResult = 0;
    if (!BeginParse(pszValue, 48, errors, &nResult))
        return nResult;

    CSequence<CString> pieces;
    SplitSkinValue(pszValue, kValueSeparators, pieces);
    long numbers[2];
    int nRead = 0;
    for (int i = 0; i < pieces.GetSize(); ++i) {
        const CString& strPiece = pieces[i];
        if (nRead == 2)
            return Refuse(errors, Quoted("Excessive number \"", strPiece, "\". There must be 2 numbers specified"));
        int bError = 0;
        const long n = ParseSkinNumber(strPiece, &bError);
        if (bError)
            return Refuse(errors, Quoted("Wrong parameter \"", strPiece, "\". Must be a number"));
        const CRanges& ranges = nRead == 0 ? m_xRanges : m_yRanges;
        if (!IsInRanges(ranges, n))
            return Refuse(errors, Quoted("Wrong number \"", strPiece, "\". Must be within the range: ") +
                                      FormatRanges(ranges));
        numbers[nRead++] = n;
    }
    if (nRead < 2)
        return Refuse(errors, "Insufficient numbers. There must be 2 numbers specified");
    if (m_bIsRange && !(numbers[0] >= 0 && numbers[0] < numbers[1]))
        return Refuse(errors, "Is not valid range");
    m_x = numbers[0];
    m_y = numbers[1];
    return 1;
}

// --- the table --------------------------------------------------------------

void CSkinParamTable::DeleteAll()
{
    for (int i = 0; i < GetSize(); ++i)
        delete (*this)[i];
    RemoveAll();
}

CSkinParam* FindSkinParam(const CSkinParamTable& table, const char* pszName)
{
    for (int i = 0; i < table.GetSize(); ++i) {
        if (strcmp(table[i]->GetName(), pszName) == 0)
            return table[i];
    }
    return nullptr;
}

CSkinParamIndex::CSkinParamIndex(const CSkinParamTable& table)
{
    m_sorted.reserve(table.GetSize());
    for (int i = 0; i < table.GetSize(); ++i)
        m_sorted.push_back(ENTRY{table[i]->GetName(), i, table[i]});
    std::sort(m_sorted.begin(), m_sorted.end(), [](const ENTRY& a, const ENTRY& b) {
        const int n = strcmp(a.pszName, b.pszName);
        return n != 0 ? n < 0 : a.nIndex < b.nIndex;
    });
}

CSkinParam* CSkinParamIndex::FindFirst(const char* pszName) const
{
    auto it = std::lower_bound(m_sorted.begin(), m_sorted.end(), pszName, [](const ENTRY& e, const char* psz) {
        return strcmp(e.pszName, psz) < 0;
    });
    return it != m_sorted.end() && strcmp(it->pszName, pszName) == 0 ? it->pParam : nullptr;
}

CSkinParam* CSkinParamIndex::FindLast(const char* pszName) const
{
    auto it = std::upper_bound(m_sorted.begin(), m_sorted.end(), pszName, [](const char* psz, const ENTRY& e) {
        return strcmp(psz, e.pszName) < 0;
    });
    if (it == m_sorted.begin() || strcmp((it - 1)->pszName, pszName) != 0)
        return nullptr;
    return (it - 1)->pParam;
}
