// CSkinParam: one typed, named parameter of a skin definition file, with its
// default, the rule for what a file may set it to and the message for a value
// that breaks the rule. A value changes only when a value text is valid as a
// whole; otherwise Parse appends one line "NAME: message;" to the error list
// and the value stays as it was.
#pragma once

#include <windows.h>

#include "collection/ImageReader.h"
#include "collection/Sequence.h"
#include "framework/Str.h"

#include <vector>

enum SKINPARAMTYPE {
    SKINPARAM_NUM = 0,
    SKINPARAM_STR = 1,
    SKINPARAM_IMG = 2,
    SKINPARAM_CLR = 3,
    SKINPARAM_MULTICLR = 4,
    SKINPARAM_POINT = 5
};

// The longest name and text value the skin format knows (without terminator).
enum { SKIN_MAX_NAME = 47, SKIN_MAX_VALUE = 63 };

class CSkinParam
{
public:
    struct CNumRange {
        long min = 0;
        long max = 0;
    };
    typedef CSequence<CNumRange> CRanges;

    virtual ~CSkinParam() {}

    virtual long GetNum() const { return 0; }
    virtual const char* GetStr() const { return nullptr; }
    virtual CImageReader* GetImg() const;
    virtual COLORREF GetClr() const { return 0; }
    virtual const COLORREF* GetClrs() const;
    virtual POINT GetPoint() const { return POINT{0, 0}; }
    virtual RECT GetRect() const { return RECT{0, 0, 0, 0}; }
    // 1 when the value text was taken; 0 with one line added to errors otherwise.
    virtual int Parse(const char* pszValue, CSequence<CString>& errors) = 0;

    SKINPARAMTYPE GetType() const { return m_nType; }
    const char* GetName() const { return m_szName; }
    BOOL IsFound() const { return m_bFound; }
    void SetFound() { m_bFound = TRUE; }

    // Appends the ranges of a text such as "0,16->40" or "-100->100".
    static void ParseRanges(const char* pszText, CRanges& ranges);
    // An empty list accepts every number.
    static BOOL IsInRanges(const CRanges& ranges, long n);
    // "0, 16 -> 40" for the ranges of "0,16->40".
    static CString FormatRanges(const CRanges& ranges);

protected:
    CSkinParam(SKINPARAMTYPE nType, const char* pszName);
    // Adds "NAME: message;" and returns 0, the result of every refusal.
    int Refuse(CSequence<CString>& errors, const CString& strMessage) const;
    // Marks the parameter found and checks the two rules every kind but the
    // picture shares: a value at all, and one shorter than nTooLong.
    BOOL BeginParse(const char* pszValue, int nTooLong, CSequence<CString>& errors, int* pnResult);

    SKINPARAMTYPE m_nType;
    char m_szName[SKIN_MAX_NAME + 1];
    BOOL m_bFound = FALSE;

private:
    CSkinParam(const CSkinParam&) = delete;
    CSkinParam& operator=(const CSkinParam&) = delete;
};

// A number in the skin syntax: decimal, or hexadecimal after a lower-case
// "0x"; "0" alone is the only way to write zero. Texts of more than 15
// characters are refused. *pbError (when given) is 1 on an error, else 0.
long ParseSkinNumber(const char* pszText, int* pbError = nullptr);

// Splits at any of pszSeparators; empty pieces are skipped.
void SplitSkinValue(const char* pszText, const char* pszSeparators, CSequence<CString>& pieces);

class CSkinNumParam : public CSkinParam
{
public:
    CSkinNumParam(const char* pszName, long nDefault, const char* pszRanges);
    CSkinNumParam(const char* pszName, const char* pszDefaultKeyword, const char* pszKeywords, const char* pszValues);

    long GetNum() const override { return m_nValue; }
    int Parse(const char* pszValue, CSequence<CString>& errors) override;

    BOOL HasKeywords() const { return m_pKeywords != nullptr; }
    const CRanges& GetRanges() const { return m_ranges; }

private:
    struct KEYWORDS;
    // The keywords of a list and their values, made once for each list.
    static const KEYWORDS* SharedKeywords(const char* pszKeywords, const char* pszValues);
    // The value of a keyword, compared case-insensitively from the last one.
    BOOL FindKeyword(const char* pszKeyword, long* pnValue) const;

    long m_nValue;
    CRanges m_ranges;
    const KEYWORDS* m_pKeywords = nullptr;   // shared with every parameter of the list; none without keywords
};

class CSkinStrParam : public CSkinParam
{
public:
    CSkinStrParam(const char* pszName, const char* pszDefault);

    const char* GetStr() const override { return m_szValue; }
    int Parse(const char* pszValue, CSequence<CString>& errors) override;

private:
    char m_szValue[SKIN_MAX_VALUE + 1];
};

class CSkinImgParam : public CSkinParam
{
public:
    CSkinImgParam(const char* pszName, int nMaxWidth, int nMaxHeight);
    ~CSkinImgParam() override;

    CImageReader* GetImg() const override { return m_pImage; }
    // A relative path in a value is taken from this folder (with its trailing
    // backslash); empty means the current directory.
    void SetBaseFolder(const char* pszFolder) { m_strBaseFolder = pszFolder; }
    int Parse(const char* pszValue, CSequence<CString>& errors) override;

    int GetMaxWidth() const { return m_nMaxWidth; }
    int GetMaxHeight() const { return m_nMaxHeight; }

private:
    CString ResolvePath(const char* pszPath) const;

    CImageReader* m_pImage;
    int m_nMaxWidth;
    int m_nMaxHeight;
    CString m_strBaseFolder;
};

class CSkinClrParam : public CSkinParam
{
public:
    CSkinClrParam(const char* pszName, COLORREF clrDefault);

    COLORREF GetClr() const override { return m_clrValue; }
    int Parse(const char* pszValue, CSequence<CString>& errors) override;

private:
    COLORREF m_clrValue;
};

class CSkinMultiClrParam : public CSkinParam
{
public:
    CSkinMultiClrParam(const COLORREF* pColors, const char* pszName);
    CSkinMultiClrParam(const char* pszName, COLORREF clr);

    const COLORREF* GetClrs() const override { return m_colors; }
    int Parse(const char* pszValue, CSequence<CString>& errors) override;

private:
    COLORREF m_colors[6];
};

class CSkinPointParam : public CSkinParam
{
public:
    // pszYRanges null: y takes a copy of the x ranges.
    CSkinPointParam(const char* pszName, BOOL bIsRange, const char* pszXRanges, const char* pszYRanges, long x, long y);
    // No ranges at all: any two numbers.
    CSkinPointParam(const char* pszName, long x, long y);

    POINT GetPoint() const override { return POINT{m_x, m_y}; }
    int Parse(const char* pszValue, CSequence<CString>& errors) override;

private:
    long m_x;
    long m_y;
    CRanges m_xRanges;
    CRanges m_yRanges;
    BOOL m_bIsRange;
};

// The parameter table of one skin load; it owns its parameters and deletes
// them, first to last, when it is emptied or destroyed.
class CSkinParamTable : public CSequence<CSkinParam*>
{
public:
    CSkinParamTable() {}
    ~CSkinParamTable() override { DeleteAll(); }
    void DeleteAll();

private:
    CSkinParamTable(const CSkinParamTable&) = delete;
    CSkinParamTable& operator=(const CSkinParamTable&) = delete;
};

// The parameters of a table by name, sorted once: a load looks up hundreds of
// names, which one by one through the table cost as much as parsing the file.
// The table must outlive the index and keep its parameters.
class CSkinParamIndex
{
public:
    explicit CSkinParamIndex(const CSkinParamTable& table);
    // The first, or the last, parameter in table order whose name equals
    // pszName exactly; null when none has it.
    CSkinParam* FindFirst(const char* pszName) const;
    CSkinParam* FindLast(const char* pszName) const;

private:
    struct ENTRY
    {
        const char* pszName;
        int nIndex;
        CSkinParam* pParam;
    };
    std::vector<ENTRY> m_sorted;
};

// Fills table (emptied first) with the 297 parameters of a skin and their defaults.
void BuildSkinParams(CSkinParamTable& table);
// The first parameter, in table order, whose name equals pszName exactly.
CSkinParam* FindSkinParam(const CSkinParamTable& table, const char* pszName);
