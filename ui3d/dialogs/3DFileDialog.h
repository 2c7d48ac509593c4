// C3DFileDialog: the system's open or save dialog in the Explorer style,
// listed among the live dialogs. Its hook keeps the file-name text and folder
// of the last selection change: when many files are chosen whose names do
// not fit the caller's buffer, the system fails the call with
// FNERR_BUFFERTOOSMALL, and the kept text still names every file.
// Otherwise the names are read from the buffer the system filled, which
// also holds a name the user typed by hand.
#pragma once

#include "collection/Sequence.h"
#include "framework/CommonDialog.h"

#include <vector>

class C3DFileDialog : public CFileDialog
{
    DECLARE_DYNAMIC(C3DFileDialog)
public:
    // pszFilter: description and pattern pairs separated by '|'; bOpen
    // non-zero for an open dialog, zero for a save dialog.
    C3DFileDialog(LPCSTR pszFilter, BOOL bOpen, LPCSTR pszDefExt = NULL, LPCSTR pszFileName = NULL,
                  DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, CWnd* pParent = NULL);
    ~C3DFileDialog() override;

    // IDOK or IDCANCEL; IDCANCEL at once, showing nothing, while a drag runs.
    INT_PTR DoModal() override;

    // The caller's settings; each text is copied.
    void SetTitle(LPCSTR pszTitle);
    void SetInitialFolder(LPCSTR pszFolder);
    // A buffer of the caller for the chosen names (several need more than
    // MAX_PATH); it must outlive DoModal.
    void SetFileBuffer(char* pBuffer, DWORD nChars);

    // Chosen names, counted from 0 (open dialogs; a save dialog has one).
    int GetFileCount() const { return m_Names.GetSize(); }
    CString GetPathName(int n = 0) const;
    CString GetFileName() const;
    CString GetFileExt(int n = 0) const;
    CString GetFileTitle() const;
    // The folder of the first chosen file, with a trailing '\'.
    CString GetFolderPath() const;
    // The filter chosen in the dialog, from 1.
    int GetFilterIndex() const { return static_cast<int>(m_ofn.nFilterIndex); }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    int m_nRunState;               // 1 while DoModal runs
    CString m_strCapturedName;     // file-name text at the last selection change
    CString m_strCapturedFolder;   // folder at the last selection change
    CString m_strFolder;           // folder of the chosen names
    CSequence<CString> m_Names;

protected:
    void SaveAnswer() override;
    void RestoreAnswer() override;

private:
    static UINT_PTR CALLBACK FileHookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    void CaptureSelection(HWND hWndDialog);
    // The names of the buffer the system filled: a full path, or with
    // OFN_ALLOWMULTISELECT the folder and then each name.
    void NamesFromBuffer();
    // The names of the captured text: each quoted name, or the whole text.
    void NamesFromCapture();
    CString SendForText(UINT nMessage) const;

    CString m_strTitle;
    CString m_strInitialFolder;
    std::vector<char> m_answer;
    DWORD m_nAnswerFilter = 0;
};
