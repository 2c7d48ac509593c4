#include "delivery/AppAttr.h"

#include "framework/StoredDouble.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

const char kBlanks[] = " \r\n\t";
// The upper bound of an open range, and the cap of the asking version there.
const double kOpenEnd = 9999999.0;

CString Trimmed(const char* p, int n)
{
    CString str(p, n);
    str.Trim(kBlanks);
    return str;
}

bool MeansNone(const CString& str)
{
    return str.IsEmpty() || str.CompareNoCase("NULL") == 0 || str == "0";
}

void ParseVersion(CAppAttr& row, const CString& strField)
{
    if (strField.IsEmpty() || strField == "0")
        return;
    const char* p = strField;
    const char* pEnd = p;
    const ULONGLONG from = VersionFromDecimalText(p, &pEnd);
    if (pEnd == p)
        return;
    ULONGLONG to = from;
    const char* pDash = strchr(pEnd, '-');
    if (pDash != NULL) {
        const char* pNext = pDash + 1;
        const ULONGLONG v = VersionFromDecimalText(pNext, &pEnd);
        if (pEnd != pNext)
            to = v;
    }
    row.SetVersionRange(from, to);
}

// The whole part of a version word, cut to its first four digits.
int FirstFourDigits(unsigned n)
{
    while (n > 9999)
        n /= 10;
    return int(n);
}

}  // namespace

void CAppAttr::SetVersionRange(double dFrom, double dTo)
{
    versionFrom = VersionFromDecimal(dFrom);
    versionTo = VersionFromDecimal(dTo);
}

void CAppAttr::Clear()
{
    exeName.Empty();
    param.Empty();
    versionFrom = versionTo = 0;
}

void ParseAppAttr(CAppAttr& row, const char* text)
{
    row.Clear();
    if (text == NULL)
        return;
    CString fields[3];
    const char* p = text;
    for (int i = 0; i < 3; i++) {
        const char* pTab = strchr(p, '\t');
        const int n = pTab != NULL ? int(pTab - p) : int(strlen(p));
        fields[i] = Trimmed(p, n);
        if (pTab == NULL)
            break;
        p = pTab + 1;
    }
    if (!MeansNone(fields[0]))
        row.SetExeName(fields[0]);
    ParseVersion(row, fields[1]);
    if (!MeansNone(fields[2]))
        row.SetParam(fields[2]);
}

void ParseAppAttrList(CSequence<CAppAttr>& list, const char* text)
{
    list.RemoveAll();
    if (text == NULL)
        return;
    const char* p = text;
    for (;;) {
        const char* pBreak = strstr(p, "<br>");
        const int n = pBreak != NULL ? int(pBreak - p) : int(strlen(p));
        const CString strPiece = Trimmed(p, n);
        CAppAttr row;
        ParseAppAttr(row, strPiece);
        list.Add(row);
        if (pBreak == NULL)
            break;
        p = pBreak + 4;
    }
}

double GetVersionNumber(DWORD ms)
{
    const int nMajor = FirstFourDigits(HIWORD(ms));
    const int nMinor = FirstFourDigits(LOWORD(ms));
    double dDivisor = 10;
    for (int n = nMinor; n >= 10; n /= 10)
        dDivisor *= 10;
    return StoredDouble(nMajor + nMinor / dDivisor);
}

ULONGLONG VersionFromDecimal(double x)
{
    x = std::fabs(x);
    if (!(x < 65536.0))
        return 0;
    DWORD nMajor = DWORD(x);
    DWORD nMinor = DWORD(std::floor((x - nMajor) * 10000.0 + 0.5));
    // A fraction just under the next whole number rounds up to it.
    if (nMinor >= 10000) {
        nMinor = 0;
        nMajor++;
    }
    while (nMinor >= 1 && nMinor % 10 == 0)
        nMinor /= 10;
    if (nMajor > 0xFFFF)
        return 0;
    return ULONGLONG((nMajor << 16) | nMinor) << 32;
}

BOOL ReadDecimalText(const char* psz, int nFractionDigits, DWORD* pnWhole, DWORD* pnFraction,
                     BOOL* pbNegative, const char** ppEnd)
{
    *pnWhole = *pnFraction = 0;
    *pbNegative = FALSE;
    *ppEnd = psz;
    if (psz == NULL || nFractionDigits < 0 || nFractionDigits > 9)
        return FALSE;
    const char* p = psz;
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n' || *p == '\v' || *p == '\f')
        p++;
    if (*p == '+' || *p == '-')
        *pbNegative = *p++ == '-';
    const bool bWholeDigits = *p >= '0' && *p <= '9';
    ULONGLONG nWhole = 0;
    bool bTooBig = false;
    for (; *p >= '0' && *p <= '9'; p++) {
        nWhole = nWhole * 10 + ULONGLONG(*p - '0');
        if (nWhole > 0xFFFFFFFFull) {
            bTooBig = true;
            nWhole = 0xFFFFFFFFull;
        }
    }
    DWORD nFraction = 0, nScale = 1;
    bool bFractionDigits = false, bRoundUp = false;
    int nDigits = 0;
    if (*p == '.' && (bWholeDigits || (p[1] >= '0' && p[1] <= '9'))) {
        p++;
        for (; *p >= '0' && *p <= '9'; p++, nDigits++) {
            bFractionDigits = true;
            if (nDigits < nFractionDigits)
                nFraction = nFraction * 10 + DWORD(*p - '0');
            else if (nDigits == nFractionDigits)
                bRoundUp = *p >= '5';
        }
    }
    if (!bWholeDigits && !bFractionDigits) {
        *pbNegative = FALSE;
        return FALSE;
    }
    // "3.5" to hundredths is 50.
    for (; nDigits < nFractionDigits; nDigits++)
        nFraction *= 10;
    for (int i = 0; i < nFractionDigits; i++)
        nScale *= 10;
    if (bRoundUp && ++nFraction == nScale) {
        nFraction = 0;
        if (nWhole == 0xFFFFFFFFull)
            bTooBig = true;
        else
            nWhole++;
    }
    *ppEnd = p;
    if (bTooBig) {
        *pbNegative = FALSE;
        return FALSE;
    }
    *pnWhole = DWORD(nWhole);
    *pnFraction = nFraction;
    return TRUE;
}

ULONGLONG VersionFromDecimalText(const char* psz, const char** ppEnd)
{
    DWORD nMajor, nMinor;
    BOOL bNegative;
    if (!ReadDecimalText(psz, 4, &nMajor, &nMinor, &bNegative, ppEnd))
        return 0;
    while (nMinor >= 1 && nMinor % 10 == 0)
        nMinor /= 10;
    if (nMajor > 0xFFFF)
        return 0;
    return ULONGLONG((nMajor << 16) | nMinor) << 32;
}

double MatchExeName(const CAppAttr& asking, const CAppAttr& row)
{
    if (!asking.HasExeName() || !row.HasExeName())
        return -1;
    // File names on Windows carry no case: "OUTLOOK.EXE" is "outlook.exe".
    return asking.exeName.CompareNoCase(row.exeName) == 0 ? 1 : 0;
}

double MatchVersionRange(const CAppAttr& asking, const CAppAttr& row)
{
    double rf = GetVersionNumber(row.FromMS());
    double rt = GetVersionNumber(row.ToMS());
    double qf = GetVersionNumber(asking.FromMS());
    const double qt = GetVersionNumber(asking.ToMS());
    if ((rf == 0 && rt == 0) || qf == 0 || qt != qf)
        return -1;
    if (rt == 0) {
        rt = kOpenEnd;
        if (qf > kOpenEnd)
            qf = kOpenEnd;
    }
    const bool bValid = rf >= 0 && rt > 0 && rt >= rf;
    const bool bInside = rf <= qf && qf <= rt;
    if (!bValid || !bInside)
        return 0;
    const double dLower = qf != 0 ? 0.9 * rf / qf : 0;
    const double dUpper = rt != 0 ? 0.1 * qf / rt : 0;
    return StoredDouble(dLower + dUpper);
}

double MatchAppAttr(const CAppAttr& asking, const CAppAttr& row)
{
    const double n = MatchExeName(asking, row);
    const double v = MatchVersionRange(asking, row);
    double p = -1;
    if (asking.HasParam() && row.HasParam())
        p = strstr(asking.param, row.param) != NULL ? 1 : 0;
    if (!(n > 0) || v == 0 || p == 0)
        return 0;
    double dScore = (v > 0 ? v : 0) + 1;
    if (p >= 0)
        dScore += 2 * p;
    return StoredDouble(dScore);
}

double MatchAppAttrLists(const CAppAttr& asking, const CSequence<CAppAttr>& targets,
                         const CSequence<CAppAttr>& exclusions)
{
    for (int i = exclusions.GetSize() - 1; i >= 0; i--) {
        if (MatchAppAttr(asking, exclusions[i]) > 0)
            return 0;
    }
    double dBest = 0;
    for (int i = 0; i < targets.GetSize(); i++) {
        const double d = MatchAppAttr(asking, targets[i]);
        if (d > dBest)
            dBest = d;
    }
    return dBest;
}
