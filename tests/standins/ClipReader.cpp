// A program that reads the clipboard the way a target program pastes: plain
// OpenClipboard / GetClipboardData, from a process of its own, so that every
// delayed format it asks for is rendered by the owner on request.
//
//   clip_reader.exe OUTFILE ITEM...
//
// ITEM is a registered format name, or "#N" for format number N; "?ITEM" only
// asks whether the format is offered. One line per item goes to OUTFILE:
//   NAME data HEX      (the block's bytes in hexadecimal)
//   NAME none          (nothing came back)
//   NAME offered | NAME absent
//   open failed        (the clipboard could not be opened; nothing else follows)
// Exit status 0 when OUTFILE was written.
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <string>

static UINT FormatOf(const char* item)
{
    if (item[0] == '#')
        return (UINT)strtoul(item + 1, NULL, 10);
    return RegisterClipboardFormatA(item);
}

static std::string Hex(HGLOBAL block)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    SIZE_T size = GlobalSize(block);
    const unsigned char* bytes = static_cast<const unsigned char*>(GlobalLock(block));
    if (bytes == NULL)
        return text;
    for (SIZE_T i = 0; i < size; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    GlobalUnlock(block);
    return text;
}

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    FILE* out = fopen(argv[1], "w");
    if (out == NULL)
        return 2;
    // Another process may hold the clipboard open for a moment.
    bool open = false;
    for (int attempt = 0; attempt < 100 && !open; ++attempt) {
        open = OpenClipboard(NULL) != FALSE;
        if (!open)
            Sleep(20);
    }
    if (!open) {
        fprintf(out, "open failed\n");
        fclose(out);
        return 0;
    }
    for (int i = 2; i < argc; ++i) {
        const char* item = argv[i];
        if (item[0] == '?') {
            BOOL offered = IsClipboardFormatAvailable(FormatOf(item + 1));
            fprintf(out, "%s %s\n", item + 1, offered ? "offered" : "absent");
            continue;
        }
        HANDLE data = GetClipboardData(FormatOf(item));
        if (data == NULL)
            fprintf(out, "%s none\n", item);
        else
            fprintf(out, "%s data %s\n", item, Hex(data).c_str());
    }
    CloseClipboard();
    fclose(out);
    return 0;
}
