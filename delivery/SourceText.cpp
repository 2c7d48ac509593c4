#include "delivery/SourceText.h"

#include "services/Languages.h"
#include "ui3d/system/SysUtils.h"

#include <cstring>

namespace {

// Short texts are never addresses: "http://a.b/c.gif" is 16 characters.
const int kMinAddressLength = 16;
const char kTargetParam[] = "?target=";
const int kMaxNameLength = 16;
// Entry shown for a picture that has no name.
const int kNamelessPicture = 522;

bool StartsWith(const CString& str, const char* pszPrefix)
{
    return strncmp(str, pszPrefix, strlen(pszPrefix)) == 0;
}

bool IsPictureExtension(const char* pszExt)
{
    static const char* const s_Exts[] = {"bmp", "gif", "png", "jpg", "jpeg"};
    for (const char* psz : s_Exts)
        if (_stricmp(pszExt, psz) == 0)
            return true;
    return false;
}

// The file title as a string; empty when the text has none.
CString FileTitle(const char* psz)
{
    char* pszTitle = ExtractFileTitle(psz);
    CString str(pszTitle);
    delete[] pszTitle;
    return str;
}

// Lower-cases the ASCII letters only. The system's lower-casing works by
// character, and under a double-byte code page it reads a lone lead byte and the
// byte after it as one character; every test below is ASCII.
void LowerAscii(CString& text)
{
    const int n = text.GetLength();
    for (int i = 0; i < n; i++) {
        const char ch = text[i];
        if (ch >= 'A' && ch <= 'Z')
            text.SetAt(i, char(ch - 'A' + 'a'));
    }
}

// Where the first "http:" or "https:" starts in a lower-cased text; -1 when
// there is none.
int FindWebScheme(const CString& lower)
{
    for (int i = lower.Find("http"); i >= 0; i = lower.Find("http", i + 1)) {
        const char* p = static_cast<const char*>(lower) + i + 4;
        if (p[0] == ':' || (p[0] == 's' && p[1] == ':'))
            return i;
    }
    return -1;
}

int HexDigit(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

}   // namespace

int ClassifySourceText(CString text)
{
    text.Trim();
    LowerAscii(text);
    if (text.GetLength() <= kMinAddressLength ||
        !(StartsWith(text, "http://") || StartsWith(text, "http:\\") || StartsWith(text, "https://") ||
          StartsWith(text, "https:\\") || StartsWith(text, "www.")))
        return SOURCE_NOT_ADDRESS;
    const char* pszExt = GetFileExtension(text);
    if (pszExt != NULL)
        return IsPictureExtension(pszExt) && !FileTitle(text).IsEmpty() ? SOURCE_PICTURE_ADDRESS
                                                                         : SOURCE_OTHER_ADDRESS;
    return text.Find(kTargetParam) > kMinAddressLength ? SOURCE_PICTURE_ADDRESS : SOURCE_OTHER_ADDRESS;
}

int ExtractWebAddress(CString text, CString& address)
{
    text.Trim();
    if (ClassifySourceText(text) == SOURCE_PICTURE_ADDRESS) {
        address = text;
        return 1;
    }
    CString lower = text;
    LowerAscii(lower);
    const int nAt = FindWebScheme(lower);
    if (nAt < 0)
        return 0;
    // Forum code puts the address after "[img]" or inside quotes; "xhttp:" is no address.
    if (nAt > 0 && text[nAt - 1] != ']' && text[nAt - 1] != '"')
        return 0;
    CString found = text.Mid(nAt);
    const int nEnd = found.FindOneOf("\"[");
    if (nEnd >= 0)
        found = found.Left(nEnd);
    if (ClassifySourceText(found) != SOURCE_PICTURE_ADDRESS)
        return 0;
    address = found;
    return 1;
}

CString UnescapeUrl(CString text)
{
    for (int i = text.Find('%'); i >= 0; i = text.Find('%', i + 1)) {
        if (text.GetLength() - i - 1 < 2)
            break;
        // Like strtol over the two characters: reading stops at a non-digit.
        int nValue = 0;
        for (int k = 1; k <= 2; k++) {
            const int d = HexDigit(text[i + k]);
            if (d < 0)
                break;
            nValue = nValue * 16 + d;
        }
        if (nValue != 0) {
            text.Delete(i, 3);
            text.Insert(i, char(nValue));
        }
    }
    return text;
}

void GetSourceFileName(CString& name, const char* text)
{
    name = FileTitle(text);
    if (name.IsEmpty())
        name = GetLangString(kNamelessPicture);
}

void GetSourceFileNameNoTarget(CString& name, CString text)
{
    const CString decoded = UnescapeUrl(text);
    name = FileTitle(decoded);
    if (name.GetLength() > kMaxNameLength)
        name = name.Left(kMaxNameLength);
    if (!name.IsEmpty())
        return;
    if (decoded.Find(kTargetParam) > kMinAddressLength) {
        int nLast = decoded.Find(kTargetParam);
        for (int n = nLast; n >= 0; n = decoded.Find(kTargetParam, n + 1))
            nLast = n;
        name = decoded.Mid(nLast + int(sizeof(kTargetParam)) - 1);
        if (!name.IsEmpty())
            return;
    }
    name = GetLangString(kNamelessPicture);
}
