#include "delivery/ComposeChecks.h"

#include "dialogs/Notices.h"
#include "services/Languages.h"
#include "services/Messages.h"
#include "services/ProgramWindows.h"
#include "services/Settings.h"
#include "skins/Skin.h"
#include "ui3d/dialogs/3DImgMessageBox.h"
#include "ui3d/system/SysUtils.h"

#include <cstdio>
#include <cstring>

const char g_szWindowsMailKey[] = "Software\\Microsoft\\Windows Mail\\Mail";

namespace {

struct MAILSETTING
{
    const char* pszValue;
    DWORD dwMissing;   // assumed when the value is missing
    DWORD dwWanted;
    const char* pszAdvice;
};

const MAILSETTING kMailSettings[] = {
    {"Block External Content", 1, 0,
     "\"Tools\" -> \"Options...\" -> \"Security\" -> \"Block images and\r\n     other external content in HTML "
     "e-mail\" -> OFF"},
    {"Message Send HTML", 1, 1, "\"Tools\" -> \"Options...\" -> \"Mail Sending Format\" -> \"HTML\"\r\n     -> ON"},
    {"Send Pictures With Document", 1, 1,
     "\"Tools\" -> \"Options...\" -> \"Mail Sending Format\" -> \"HTML\r\n     Settings\" -> \"Send pictures with "
     "messages\" -> ON"},
};
const int kMailSettingCount = int(sizeof(kMailSettings) / sizeof(kMailSettings[0]));

const int kMaxAdviceLine = 128;
const int kMaxAdvice = 512;

const char kQuestionClass[] = "Tarvenex Deferred Question";

HWND FindChildOfClass(HWND hParent, const char* pszClass)
{
    return ::FindWindowExA(hParent, NULL, pszClass, NULL);
}

CWnd* NoticeParent()
{
    const HWND hParent = GetNoticeParent();
    return hParent != NULL ? CWnd::FromHandle(hParent) : NULL;
}

void CheckCompose(HWND composeWindow, const char* pszAppName)
{
    if (composeWindow == NULL || !::IsWindow(composeWindow))
        return;
    HWND hMimeEdit = NULL;
    ::EnumChildWindows(composeWindow, EnumMimeEditProc, reinterpret_cast<LPARAM>(&hMimeEdit));
    if (hMimeEdit == NULL || FindChildOfClass(hMimeEdit, "Internet Explorer_Server") == NULL)
        return;
    const HWND hFormatBar = FindChildOfClass(hMimeEdit, "MimeEdit_FormatBar");
    if (hFormatBar != NULL && ::IsWindowVisible(hFormatBar))
        return;
    ShowWarnAppHtmlIsOff(pszAppName, "\"Format\" -> \"Rich Text (HTML)\"", 1, NoticeParent());
}

// The question waiting to be asked, and the window it is posted to.
CString s_strQuestion;
BOOL s_bQuestionPending = FALSE;

void AskQuestion()
{
    const CString strText = s_strQuestion;
    const int nAnswer = MessageBox3D(NoticeParent(), GetLangString(585), strText, MB_OKCANCEL | MB_ICONQUESTION,
                                     g_Settings.FadeDialogs, g_pSkin != NULL ? &g_pSkin->m_bodyStyle : NULL);
    s_bQuestionPending = FALSE;
    if (nAnswer == IDOK)
        WriteWindowsMailSettings();
}

LRESULT CALLBACK QuestionWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DEFERREDQUESTION) {
        AskQuestion();
        return 0;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

HWND QuestionWindow()
{
    static HWND s_hWnd = NULL;
    if (s_hWnd != NULL && ::IsWindow(s_hWnd))
        return s_hWnd;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = QuestionWndProc;
    wc.hInstance = ::GetModuleHandleA(NULL);
    wc.lpszClassName = kQuestionClass;
    ::RegisterClassA(&wc);
    s_hWnd = ::CreateWindowExA(0, kQuestionClass, "", WS_POPUP, 0, 0, 0, 0, NULL, NULL, wc.hInstance, NULL);
    return s_hWnd;
}

}  // namespace

BOOL CALLBACK EnumMimeEditProc(HWND hWnd, LPARAM lParam)
{
    char szClass[64];
    if (::GetClassNameA(hWnd, szClass, sizeof(szClass)) > 0 && strcmp(szClass, "##MimeEdit_Server") == 0) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

void CheckOutlookExpressCompose(HWND composeWindow)
{
    CheckCompose(composeWindow, "Outlook Express");
}

void CheckWindowsMailCompose(HWND composeWindow)
{
    CheckCompose(composeWindow, "Windows Mail");
}

int ReadWindowsMailSettings(CSequence<int>* wrongRows)
{
    HKEY hKey = NULL;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, g_szWindowsMailKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return 0;
    for (int i = 0; i < kMailSettingCount; i++) {
        const MAILSETTING& row = kMailSettings[i];
        DWORD dwType = 0, cb = 0;
        LONG nError = ::RegQueryValueExA(hKey, row.pszValue, NULL, &dwType, NULL, &cb);
        DWORD dwValue = row.dwMissing;
        if (nError == ERROR_SUCCESS) {
            if (dwType != REG_DWORD || cb != sizeof(DWORD)) {
                nError = ERROR_INVALID_DATA;
            } else {
                cb = sizeof(dwValue);
                nError = ::RegQueryValueExA(hKey, row.pszValue, NULL, &dwType, reinterpret_cast<BYTE*>(&dwValue),
                                            &cb);
            }
        } else if (nError == ERROR_FILE_NOT_FOUND) {
            nError = ERROR_SUCCESS;
        }
        if (nError != ERROR_SUCCESS) {
            // Nothing can be judged before the first row was; later a row
            // that cannot be read counts as wrong.
            if (i == 0) {
                ::RegCloseKey(hKey);
                return 0;
            }
            wrongRows->Add(i);
            continue;
        }
        if (dwValue != row.dwWanted)
            wrongRows->Add(i);
    }
    ::RegCloseKey(hKey);
    return 1;
}

int WriteWindowsMailSettings()
{
    HKEY hKey = NULL;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, g_szWindowsMailKey, 0, KEY_SET_VALUE, &hKey) != ERROR_SUCCESS)
        return 0;
    int bAll = 1;
    for (const MAILSETTING& row : kMailSettings) {
        const DWORD dw = row.dwWanted;
        if (::RegSetValueExA(hKey, row.pszValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dw), sizeof(dw)) !=
            ERROR_SUCCESS)
            bAll = 0;
    }
    ::RegCloseKey(hKey);
    return bAll;
}

CString BuildWindowsMailAdvice(const CSequence<int>& wrongRows)
{
    CString strAdvice;
    for (int i = 0; i < wrongRows.GetSize(); i++) {
        const int nRow = wrongRows[i];
        if (nRow < 0 || nRow >= kMailSettingCount)
            continue;
        char szLine[kMaxAdviceLine];
        _snprintf(szLine, sizeof(szLine), "%d. %s", i + 1, kMailSettings[nRow].pszAdvice);
        szLine[sizeof(szLine) - 1] = '\0';
        const CString strNext = strAdvice.IsEmpty() ? CString(szLine) : strAdvice + "\r\n" + szLine;
        if (strNext.GetLength() >= kMaxAdvice)
            break;
        strAdvice = strNext;
    }
    return strAdvice;
}

int CheckWindowsMailSettings(double version)
{
    CSequence<int> wrongRows;
    if (!ReadWindowsMailSettings(&wrongRows) || wrongRows.GetSize() == 0)
        return 0;
    if (s_bQuestionPending)
        return 1;
    char szVersion[64];
    _snprintf(szVersion, sizeof(szVersion), "%f", version);
    szVersion[sizeof(szVersion) - 1] = '\0';
    const int kMax = 2048;
    CString strText;
    FormatTemplate(strText.GetBuffer(kMax), kMax, GetLangString(586), "[VERSION]", "%s", szVersion, "[ADVICE]",
                   "%s", BuildWindowsMailAdvice(wrongRows).GetString(), NULL);
    strText.ReleaseBuffer();
    // The program that asked for data waits until the rendering returns: the
    // question is asked after that.
    const HWND hQuestion = QuestionWindow();
    if (hQuestion == NULL || !::PostMessageA(hQuestion, WM_DEFERREDQUESTION, 0, 0))
        return 0;
    s_strQuestion = strText;
    s_bQuestionPending = TRUE;
    return 1;
}
