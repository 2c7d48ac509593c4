// Target-application rows: which programs a payload of a transfer is meant
// for. A row names an executable, a range of its file versions and a text the
// asking window's title must contain; the asking program is described by a
// row too (its executable, its own version as both bounds, its lower-cased
// title). When a program asks for a clipboard format, the payload whose rows
// fit it best is rendered.
//
// Row text: executable, version and parameter separated by one TAB each, every
// field trimmed of blanks, CR, LF and TAB. "NULL" (any case) and "0" mean none
// in the name and parameter fields. The version is "0" (any), one number
// ("9.0": that version) or two joined by '-' ("6.0 - 8.0", inclusive). A list
// is rows joined by "<br>".
#pragma once

#include "collection/Sequence.h"
#include "framework/Str.h"

#include <windows.h>

class CAppAttr
{
public:
    CAppAttr() : versionFrom(0), versionTo(0) {}

    // An empty text gives none.
    void SetExeName(const char* psz) { exeName = psz != NULL ? psz : ""; }
    void SetParam(const char* psz) { param = psz != NULL ? psz : ""; }
    // Both bounds through VersionFromDecimal.
    void SetVersionRange(double dFrom, double dTo);
    // The bounds as version double words (VersionFromDecimal's result).
    void SetVersionRange(ULONGLONG from, ULONGLONG to)
    {
        versionFrom = from;
        versionTo = to;
    }
    void Clear();

    bool HasExeName() const { return !exeName.IsEmpty(); }
    bool HasParam() const { return !param.IsEmpty(); }
    // The most significant double word of a bound (major in the high word,
    // minor in the low word): the only part that takes part in comparisons.
    DWORD FromMS() const { return DWORD(versionFrom >> 32); }
    DWORD ToMS() const { return DWORD(versionTo >> 32); }

    CString exeName;        // "msimn.exe"; empty: any program
    ULONGLONG versionFrom;  // 64-bit file version, most significant double word high
    ULONGLONG versionTo;    // from and to both 0: any version
    CString param;          // must be found in the asking title; empty: no condition
};

// Clears the row and fills it from one row text.
void ParseAppAttr(CAppAttr& row, const char* text);
// Empties the list and appends one parsed row per "<br>" piece (an empty
// piece gives an empty row, which never matches).
void ParseAppAttrList(CSequence<CAppAttr>& list, const char* text);

// The decimal number of a most significant version double word: 6.1 for 6.1,
// 2.12 for 2.12; a minor of 10 reads as 1 (6.10 is 6.1).
double GetVersionNumber(DWORD ms);
// The version double words of a decimal number; "2.09" gives minor 9.
ULONGLONG VersionFromDecimal(double x);

// A decimal number written at the start of a text ("6.01715", "-3.5", "  2.09"),
// read from its digits: the whole part, and the fraction to nFractionDigits
// digits (at most 9) rounded half up on the digits that follow, so a number
// reads the same in every build whatever its floating-point unit does. A
// carry out of the fraction goes to the whole part. *ppEnd is just after the
// last digit, or psz when no digit starts the text. FALSE when no digit starts
// it or the whole part needs more than 32 bits. The sign is read and dropped
// (*pbNegative).
BOOL ReadDecimalText(const char* psz, int nFractionDigits, DWORD* pnWhole, DWORD* pnFraction,
                     BOOL* pbNegative, const char** ppEnd);
// VersionFromDecimal of the number a text starts with, read by ReadDecimalText
// (the fraction to ten-thousandths). *ppEnd as there.
ULONGLONG VersionFromDecimalText(const char* psz, const char** ppEnd);

// The scores; the asking row comes first.
double MatchExeName(const CAppAttr& asking, const CAppAttr& row);
double MatchVersionRange(const CAppAttr& asking, const CAppAttr& row);
double MatchAppAttr(const CAppAttr& asking, const CAppAttr& row);
// 0 when a row of the exclusions scores above 0, else the best score of the
// targets (0 for none).
double MatchAppAttrLists(const CAppAttr& asking, const CSequence<CAppAttr>& targets,
                         const CSequence<CAppAttr>& exclusions);
