#include "delivery/TargetApps.h"

#include "delivery/AppAttr.h"

#include <cstring>

// Rows are joined with " <br>", as every list the program writes.
const char HtmlMailList[] =
    "msimn.exe \t 0 \t NULL <br>"
    "winmail.exe \t 6.0 - 8.0 \t NULL <br>"
    "thebat.exe \t 2.0 - 2.09 \t NULL <br>"
    "courier.exe \t 3.0 - 3.4 \t NULL <br>"
    "waol.exe \t 9.0 - 9.4 \t NULL <br>"
    "waol.exe \t 9.5 - 10.0 \t NULL <br>"
    "outlook.exe \t 0 \t NULL <br>"
    "winword.exe \t 0 \t NULL <br>"
    "excel.exe \t 0 \t NULL <br>"
    "incredimail.exe \t 0 \t NULL <br>"
    "incmail.exe \t 1.0 - 5.4 \t NULL <br>"
    "foxmail.exe \t 0 \t NULL <br>"
    "b2.exe \t 1.0 - 2.2 \t NULL";
const char HtmlPageList[] = "b2.exe \t 2.3 - 10.0 \t NULL";
const char IncrediMailList[] = "incmail.exe \t 5.5 - 10.0 \t NULL";
// A web shop for smilie merchandise, recognised by the name its pages give the
// browser's title.
const char WebShopList[] = "IEXPLORE.EXE \t 0 \t smiliemarket.example";
const char HtmlFragmentList[] =
    "waol.exe \t 0.0 - 6.9 \t NULL <br>"
    "waol.exe \t 7.0 - 8.9 \t NULL <br>"
    "wcs2000.exe \t 0 \t NULL <br>"
    "wwm.exe \t 0 \t NULL <br>"
    "courier.exe \t 3.5 - 3.9 \t NULL <br>"
    "thunderbird.exe \t 0.1 - 2.0 \t NULL";
const char EudoraHtmlList[] = "eudora.exe \t 6.0 - 7.09 \t NULL";
const char NetscapeList[] = "netscape.exe \t 0 \t NULL";
const char PegasusList[] = "winpm-32.exe \t 0 \t NULL";
const char TheBat3List[] = "thebat.exe \t 3.0 - 3.9 \t NULL";
const char EudoraDibList[] = "eudora.exe \t 5.0 - 5.9 \t NULL";
const char HtmlMailByAddressList[] =
    "thebat.exe \t 2.0 - 2.09 \t NULL <br>"
    "waol.exe \t 9.0 \t NULL <br>"
    "winword.exe \t 0 \t NULL <br>"
    "excel.exe \t 0 \t NULL <br>"
    "b2.exe \t 1.0 - 2.2 \t NULL";
const char HtmlFragmentByAddressList[] =
    "waol.exe \t 0.0 - 6.9 \t NULL <br>"
    "waol.exe \t 7.0 - 8.9 \t NULL <br>"
    "wwm.exe \t 0 \t NULL <br>"
    "wcs2000.exe \t 0 \t NULL";

namespace {

const UNSUPPORTEDAPP kUnsupported[] = {
    {"poco.exe", "PocoMail"},
    {"icq.exe", "ICQ"},
    {"icqlite.exe", "ICQ"},
    {"msmsgs.exe", "MSN Messenger"},
    {"ypager.exe", "Yahoo! Messenger"},
    {"aim.exe", "AOL Instant Messenger"},
    {"trillian.exe", "Trillian"},
    {"odigo.exe", "Odigo"},
};

const HTMLOFFAPP kHtmlOff[] = {
    {"winmail.exe", 0, "Windows Mail", "\"Format\" -> \"Rich Text (HTML)\""},
    {"foxmail.exe", 0, "Foxmail", "\"Format\" -> \"HTML Format Message\""},
    {"outlook.exe", 11.0, "Outlook 2003", "\"Format\" -> \"HTML\""},
    {"b2.exe", 0, "Becky!", "\"Tools\" -> \"Wite HTML Message\""},
    {"thunderbird.exe", 0, "Mozilla Thunderbird",
     "\"Tools\" -> \"Account Settings...\" -> \"Composition && Addressing\" -> \"Compose messages in HTML format\""},
};

}  // namespace

const UNSUPPORTEDAPP* FindUnsupportedApp(const char* pszExeName)
{
    if (pszExeName == NULL)
        return NULL;
    for (const UNSUPPORTEDAPP& row : kUnsupported) {
        if (_stricmp(row.pszExeName, pszExeName) == 0)
            return &row;
    }
    return NULL;
}

const HTMLOFFAPP* FindHtmlOffApp(const char* pszExeName, DWORD ms)
{
    if (pszExeName == NULL)
        return NULL;
    for (const HTMLOFFAPP& row : kHtmlOff) {
        if (_stricmp(row.pszExeName, pszExeName) != 0)
            continue;
        if (row.dHighestVersion == 0 || GetVersionNumber(ms) <= row.dHighestVersion)
            return &row;
    }
    return NULL;
}
