#include "skins/SkinParser.h"

#include "services/DlgParserOutput.h"
#include "ui3d/system/SysUtils.h"

#include <cstdio>
#include <cstring>

namespace {

// fgets pieces of at most 255 characters; each counts as one line.
const int kLineBuffer = 256;
const char kTokenSeparators[] = " \t=\r\n";
const int kListedMissing = 5;

// The folder of a path, with its last backslash; empty when it has none.
CString FolderOf(const char* pszPath)
{
    const char* pSlash = FindLastCharOf(pszPath, "\\");
    return pSlash != nullptr ? CString(pszPath, static_cast<int>(pSlash - pszPath + 1)) : CString();
}

// The name and the value of one line: the first token, and the others joined
// by one blank. A token that begins with "//" ends the line.
void SplitLine(const char* pszLine, CString& strName, CString& strValue)
{
    const char* p = pszLine + strspn(pszLine, kTokenSeparators);
    while (*p != '\0') {
        const int nLength = static_cast<int>(strcspn(p, kTokenSeparators));
        if (p[0] == '/' && p[1] == '/')
            break;
        if (strName.IsEmpty()) {
            strName = CString(p, nLength);
        } else {
            if (!strValue.IsEmpty())
                strValue += ' ';
            strValue += CString(p, nLength);
        }
        p += nLength;
        p += strspn(p, kTokenSeparators);
    }
}

// The table is searched from its last parameter to its first.
CSkinParam* FindFromLast(const CSkinParamTable& table, const CString& strName)
{
    for (int i = table.GetSize() - 1; i >= 0; --i) {
        if (strName == table[i]->GetName())
            return table[i];
    }
    return nullptr;
}

void ParseLine(const char* pszLine, int nLine, const CString& strFolder, CSkinParamTable& table,
               CSequence<CString>& errors)
{
    CString strName, strValue;
    SplitLine(pszLine, strName, strValue);
    if (strName.IsEmpty())
        return;
    CString strLine;
    if (strValue.IsEmpty()) {
        strLine.Format("%s: Value is missing;", strName.GetString());
        errors.Add(strLine);
        return;
    }
    // A name longer than any parameter's is no parameter's.
    CSkinParam* pParam = strName.GetLength() <= SKIN_MAX_NAME ? FindFromLast(table, strName) : nullptr;
    if (pParam == nullptr) {
        strLine.Format("Unrecognized parameter \"%s\" on line %d;", strName.GetString(), nLine);
        errors.Add(strLine);
        return;
    }
    if (strValue.GetLength() > SKIN_MAX_VALUE) {
        pParam->SetFound();
        strLine.Format("%s: Input value is too long;", strName.GetString());
        errors.Add(strLine);
        return;
    }
    if (pParam->GetType() == SKINPARAM_IMG)
        static_cast<CSkinImgParam*>(pParam)->SetBaseFolder(strFolder);
    pParam->Parse(strValue, errors);
}

// "%d parameters were not found: %s;" for the parameters no line named.
int AddNotFoundLine(const CSkinParamTable& table, CSequence<CString>& errors)
{
    int nNotFound = 0;
    CString strNames;
    for (int i = 0; i < table.GetSize(); ++i) {
        if (table[i]->IsFound())
            continue;
        ++nNotFound;
        if (nNotFound <= kListedMissing) {
            if (nNotFound > 1)
                strNames += ", ";
            strNames += table[i]->GetName();
            if (nNotFound == kListedMissing)
                strNames += ", ...";
        }
    }
    if (nNotFound != 0) {
        CString strLine;
        strLine.Format("%d parameters were not found: %s;", nNotFound, strNames.GetString());
        errors.Add(strLine);
    }
    return nNotFound;
}

}  // namespace

BOOL ParseSkinLines(const char* pszPath, CSkinParamTable& table, CSequence<CString>& errors, int* pnNotFound)
{
    *pnNotFound = 0;
    FILE* pFile = fopen(pszPath, "rt");
    if (pFile == nullptr) {
        errors.Add(CString("Can't open skin definition file;"));
        return FALSE;
    }
    const CString strFolder = FolderOf(pszPath);
    BOOL bComplete = FALSE;
    try {
        char szLine[kLineBuffer];
        int nLine = 1;
        while (fgets(szLine, sizeof(szLine), pFile) != nullptr) {
            ParseLine(szLine, nLine, strFolder, table, errors);
            ++nLine;
        }
        if (feof(pFile)) {
            *pnNotFound = AddNotFoundLine(table, errors);
            bComplete = TRUE;
        } else {
            CString strLine;
            strLine.Format("Can't read line %d from skin definition file;", nLine);
            errors.Add(strLine);
        }
    } catch (...) {
        fclose(pFile);
        throw;
    }
    fclose(pFile);
    return bComplete;
}

CString FormatSkinReport(const char* pszPath, const CSequence<CString>& errors, int nNotFound)
{
    int nShown = errors.GetSize();
    if (nNotFound >= 2)
        nShown += nNotFound - 1;
    const char* pSlash = FindLastCharOf(pszPath, "\\");
    const char* pszFileName = pSlash != nullptr ? pSlash + 1 : pszPath;

    CString strReport;
    strReport.Format("%d error%s occured in skin definition file \"%s\" and/or included images. The respective "
                     "parameters will be set to default values. Here is a list of the errors:\r\n\r\n",
                     nShown, nShown > 1 ? "s" : "", pszFileName);
    for (int i = 0; i < errors.GetSize(); ++i) {
        if (i > 0)
            strReport += "\r\n";
        strReport += errors[i];
        strReport += "\r\n";
    }
    const int nLength = strReport.GetLength();
    if (nLength >= 3 && strcmp(strReport.GetString() + nLength - 3, ";\r\n") == 0)
        strReport = strReport.Left(nLength - 3) + ".";
    return strReport;
}

int ParseSkinFile(const char* pszPath, CSkinParamTable& table)
{
    CSequence<CString> errors;
    int nNotFound = 0;
    ParseSkinLines(pszPath, table, errors, &nNotFound);
    if (errors.GetSize() == 0)
        return SKINPARSE_OK;
    const CSkinParam* pDebug = FindSkinParam(table, "DEBUG_MODE");
    if (pDebug == nullptr || pDebug->GetNum() == 0)
        return SKINPARSE_NOT_SHOWN;
    CDlgSkinParserOutput dlg(FormatSkinReport(pszPath, errors, nNotFound), "Continue");
    dlg.DoModal();
    return SKINPARSE_SHOWN;
}
