// Helpers of the skin tests: a parse of one value into a parameter, skin
// files in a scratch folder, and pictures to name in them.
#pragma once

#include "skins/SkinParser.h"
#include "tests/services/AppTestFiles.h"
#include "tests/collection/PictureSamples.h"

#include <string>
#include <vector>

// What one Parse call did: its result and the line it added (empty for none).
struct ParseOutcome
{
    int nResult;
    std::string strLine;
    int nLines;
};

inline ParseOutcome ParseOne(CSkinParam& param, const char* pszValue)
{
    CSequence<CString> errors;
    ParseOutcome outcome;
    outcome.nResult = param.Parse(pszValue, errors);
    outcome.nLines = errors.GetSize();
    outcome.strLine = errors.GetSize() > 0 ? errors[0].GetString() : "";
    return outcome;
}

inline std::string Join(const CSequence<CString>& lines)
{
    std::string s;
    for (int i = 0; i < lines.GetSize(); ++i)
        s += std::string(lines[i]) + "\n";
    return s;
}

inline std::string BytesToString(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

// A cx by cy 24-bit picture in one colour.
inline std::string PlainBmp(int cx, int cy)
{
    BmpRecipe recipe;
    recipe.cx = cx;
    recipe.cy = cy;
    recipe.pixels.assign(size_t(cx) * cy, 0x336699);
    return BytesToString(MakeBmp(recipe));
}

// Skin file lines that set every parameter of a fresh table to a value it
// accepts, except those named in skip.
inline std::string AllParamsLines(const std::vector<std::string>& skip = {})
{
    CSkinParamTable table;
    BuildSkinParams(table);
    std::string s;
    for (int i = 0; i < table.GetSize(); ++i) {
        const CSkinParam* p = table[i];
        bool bSkip = false;
        for (const std::string& name : skip)
            bSkip = bSkip || name == p->GetName();
        if (bSkip)
            continue;
        std::string value;
        switch (p->GetType()) {
        case SKINPARAM_NUM:
            if (static_cast<const CSkinNumParam*>(p)->HasKeywords()) {
                // The first keyword of every set; OFF keeps DEBUG_MODE quiet.
                for (const char* pszWord : {"OFF", "NONE", "NORMAL", "FIXED", "ARIAL", "FLAT"}) {
                    if (ParseOne(*table[i], pszWord).nResult == 1) {
                        value = pszWord;
                        break;
                    }
                }
            } else {
                value = std::to_string(p->GetNum());
            }
            break;
        case SKINPARAM_STR: value = p->GetStr(); break;
        case SKINPARAM_IMG: value = "none"; break;
        case SKINPARAM_CLR: value = "RGB(10,20,30)"; break;
        case SKINPARAM_MULTICLR: value = "101010 202020 303030 404040 505050 606060"; break;
        case SKINPARAM_POINT: {
            const POINT pt = p->GetPoint();
            value = std::to_string(pt.x) + ", " + std::to_string(pt.y);
            break;
        }
        }
        s += std::string(p->GetName()) + " = " + value + "\n";
    }
    return s;
}
