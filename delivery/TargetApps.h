// The fixed tables of target programs: the target lists that payloads carry
// (each one text in the row syntax of delivery/AppAttr.h), the programs that
// cannot take smilies at all, and the mail programs whose HTML mail may be
// switched off.
#pragma once

#include <windows.h>

extern const char HtmlMailList[];
extern const char HtmlPageList[];
extern const char IncrediMailList[];
extern const char WebShopList[];
extern const char HtmlFragmentList[];
extern const char EudoraHtmlList[];
extern const char NetscapeList[];
extern const char PegasusList[];
extern const char TheBat3List[];
extern const char EudoraDibList[];
extern const char HtmlMailByAddressList[];
extern const char HtmlFragmentByAddressList[];

struct UNSUPPORTEDAPP
{
    const char* pszExeName;
    const char* pszAppName;   // as the notice names it
};
// The row of a program that cannot take smilies (executable compared without
// regard to case), or NULL.
const UNSUPPORTEDAPP* FindUnsupportedApp(const char* pszExeName);

struct HTMLOFFAPP
{
    const char* pszExeName;
    double dHighestVersion;   // 0: any version
    const char* pszAppName;
    const char* pszAdvice;    // where the program's HTML mail is switched on
};
// The first row for the executable (without regard to case) whose highest
// version is 0 or not below the asking version (GetVersionNumber of ms), or
// NULL.
const HTMLOFFAPP* FindHtmlOffApp(const char* pszExeName, DWORD ms);
