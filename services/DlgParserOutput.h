// The loader report windows: the errors of the language files or of a skin
// file, shown at start-up. They are plain dialogs because they can appear
// before any skin exists. Run modally; the button (caption given by the
// caller: "Continue", or "Exit" when the program cannot go on) or closing
// the window ends the run.
#pragma once

#include "framework/Dialog.h"

class CDlgParserOutput : public CDialog
{
public:
    ~CDlgParserOutput() override;

    const CString& GetReport() const { return m_strReport; }
    const CString& GetButtonText() const { return m_strButtonText; }

protected:
    CDlgParserOutput(UINT nIDTemplate, const char* pszReport, const char* pszButtonText);
    // Topmost, the report scrolled to its last line, the button captioned.
    BOOL OnInitDialog() override;

private:
    CString m_strReport;
    CString m_strButtonText;
};

class CDlgLangParserOutput : public CDlgParserOutput
{
public:
    CDlgLangParserOutput(const char* pszReport, const char* pszButtonText);
};

class CDlgSkinParserOutput : public CDlgParserOutput
{
public:
    CDlgSkinParserOutput(const char* pszReport, const char* pszButtonText);
};
