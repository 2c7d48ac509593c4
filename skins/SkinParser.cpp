#include "skins/SkinParser.h"

#include "services/DlgParserOutput.h"
#include "ui3d/system/SysUtils.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// The C library's fgets, with which skin files have always been read, gives
// pieces of at most 255 characters; each counts as one line.
const int kPieceChars = 255;
const int kListedMissing = 5;
const size_t kReadBlock = 16384;

// The folder of a path, with its last backslash; empty when it has none.
CString FolderOf(const char* pszPath)
{
    const char* pSlash = FindLastCharOf(pszPath, "\\");
    return pSlash != nullptr ? CString(pszPath, static_cast<int>(pSlash - pszPath + 1)) : CString();
}

bool IsSeparator(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '=' || ch == '\r' || ch == '\n';
}

// The pieces of a skin file as the C library's text mode and fgets give them
// (CR LF read as LF, a Ctrl+Z ends the file, a piece ends after a LF or at
// 255 characters), read in large blocks and handed out one at a time.
class CPieceReader
{
public:
    explicit CPieceReader(FILE* pFile) : m_pFile(pFile), m_nAt(0), m_nHave(0), m_bEnd(false), m_bError(false) {}

    // The next piece into szPiece (terminated); false at the end or on a
    // read error (IsError tells which).
    bool Next(char (&szPiece)[kPieceChars + 1])
    {
        int n = 0;
        while (n < kPieceChars) {
            int ch = Get();
            if (ch < 0)
                break;
            if (ch == '\r') {
                // CR LF is one LF; a CR before anything else stays.
                const int chNext = Peek();
                if (chNext == '\n')
                    ch = Get();
            }
            szPiece[n++] = static_cast<char>(ch);
            if (ch == '\n')
                break;
        }
        szPiece[n] = '\0';
        return n > 0;
    }
    bool IsError() const { return m_bError; }

private:
    int Peek()
    {
        if (m_nAt == m_nHave && !Fill())
            return -1;
        return static_cast<unsigned char>(m_buffer[m_nAt]);
    }
    int Get()
    {
        const int ch = Peek();
        if (ch < 0)
            return -1;
        if (ch == 0x1A) {
            m_bEnd = true;
            return -1;
        }
        ++m_nAt;
        return ch;
    }
    bool Fill()
    {
        if (m_bEnd)
            return false;
        m_nAt = 0;
        m_nHave = fread(m_buffer, 1, sizeof(m_buffer), m_pFile);
        if (m_nHave == 0) {
            m_bEnd = true;
            m_bError = ferror(m_pFile) != 0;
        }
        return m_nHave != 0;
    }

    FILE* m_pFile;
    char m_buffer[kReadBlock];
    size_t m_nAt, m_nHave;
    bool m_bEnd, m_bError;
};

// The name and the value of one piece: the first token, and the others joined
// by one blank. A token that begins with "//" ends the line. The value is
// built in place over the piece, which it can never outgrow.
void SplitLine(char* pszLine, const char*& pszName, int& nName, const char*& pszValue, int& nValue)
{
    pszName = pszValue = pszLine;
    nName = nValue = 0;
    char* pOut = nullptr;
    char* p = pszLine;
    for (;;) {
        while (*p != '\0' && IsSeparator(*p))
            ++p;
        if (*p == '\0' || (p[0] == '/' && p[1] == '/'))
            break;
        char* pToken = p;
        while (*p != '\0' && !IsSeparator(*p))
            ++p;
        const int nLength = static_cast<int>(p - pToken);
        if (nName == 0) {
            pszName = pToken;
            nName = nLength;
            // The name's own end is overwritten at most by its terminator.
            pOut = pToken + nLength;
            pszValue = pOut + 1;
        } else {
            if (nValue != 0)
                pOut[nValue++] = ' ';
            else
                pOut += 1;
            memmove(pOut + nValue, pToken, static_cast<size_t>(nLength));
            nValue += nLength;
            // Reading goes on after the token; writing stays behind it.
        }
        if (*p == '\0')
            break;
        ++p;
    }
    if (nName != 0)
        const_cast<char*>(pszName)[nName] = '\0';
    if (nValue != 0)
        const_cast<char*>(pszValue)[nValue] = '\0';
}

void ParseLine(char* pszLine, int nLine, const CString& strFolder, const CSkinParamIndex& index,
               CSequence<CString>& errors)
{
    const char* pszName;
    const char* pszValue;
    int nName, nValue;
    SplitLine(pszLine, pszName, nName, pszValue, nValue);
    if (nName == 0)
        return;
    CString strLine;
    if (nValue == 0) {
        strLine.Format("%s: Value is missing;", pszName);
        errors.Add(strLine);
        return;
    }
    // A name longer than any parameter's is no parameter's.
    CSkinParam* pParam = nName <= SKIN_MAX_NAME ? index.FindLast(pszName) : nullptr;
    if (pParam == nullptr) {
        strLine.Format("Unrecognized parameter \"%s\" on line %d;", pszName, nLine);
        errors.Add(strLine);
        return;
    }
    if (nValue > SKIN_MAX_VALUE) {
        pParam->SetFound();
        strLine.Format("%s: Input value is too long;", pszName);
        errors.Add(strLine);
        return;
    }
    if (pParam->GetType() == SKINPARAM_IMG)
        static_cast<CSkinImgParam*>(pParam)->SetBaseFolder(strFolder);
    pParam->Parse(pszValue, errors);
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
    FILE* pFile = fopen(pszPath, "rb");
    if (pFile == nullptr) {
        errors.Add(CString("Can't open skin definition file;"));
        return FALSE;
    }
    const CString strFolder = FolderOf(pszPath);
    BOOL bComplete = FALSE;
    try {
        const CSkinParamIndex index(table);
        std::unique_ptr<CPieceReader> pReader(new CPieceReader(pFile));
        char szPiece[kPieceChars + 1];
        int nLine = 1;
        while (pReader->Next(szPiece)) {
            ParseLine(szPiece, nLine, strFolder, index, errors);
            ++nLine;
        }
        if (!pReader->IsError()) {
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
