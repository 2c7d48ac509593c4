// A program that leaves a text on the clipboard the way another program
// copies: its own window opens the clipboard, empties it and, unless the
// text is empty, puts CF_TEXT there. It stays the clipboard's owner until it
// is ended (at most a minute).
//
//   clip_writer.exe READYFILE TEXT
//
// READYFILE is written ("ready") once the clipboard holds the text.
#include <windows.h>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    HWND hWnd = CreateWindowExA(0, "STATIC", "clip writer", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
    if (hWnd == NULL)
        return 2;
    bool open = false;
    for (int attempt = 0; attempt < 100 && !open; ++attempt) {
        open = OpenClipboard(hWnd) != FALSE;
        if (!open)
            Sleep(20);
    }
    if (!open)
        return 3;
    EmptyClipboard();
    const size_t size = strlen(argv[2]) + 1;
    if (size > 1) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
        if (block != NULL) {
            memcpy(GlobalLock(block), argv[2], size);
            GlobalUnlock(block);
            if (SetClipboardData(CF_TEXT, block) == NULL)
                GlobalFree(block);
        }
    }
    CloseClipboard();
    FILE* ready = fopen(argv[1], "w");
    if (ready == NULL)
        return 2;
    fputs("ready", ready);
    fclose(ready);
    const DWORD end = GetTickCount() + 60000;
    MSG msg;
    while (static_cast<LONG>(GetTickCount() - end) < 0) {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        MsgWaitForMultipleObjects(0, NULL, FALSE, 100, QS_ALLINPUT);
    }
    return 0;
}
