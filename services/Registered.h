// The clipboard formats and window messages that the program shares with
// other programs (or with its hook libraries) by name. Each is registered
// here, once, on first use; start-up registers them all at once.
#pragma once

#include <windows.h>

CLIPFORMAT GetHtmlClipFormat();        // "HTML Format"
CLIPFORMAT GetUrlClipFormat();         // "UniformResourceLocator"
CLIPFORMAT GetTextHtmlClipFormat();    // "text/html"
CLIPFORMAT GetNetscapeEditorClipFormat();   // "NETSCAPE_EDITOR"
// "Tarvenex's Group of Smilies": smilies dragged out of a field of this program.
CLIPFORMAT GetSmilieGroupClipFormat();
// "WM_HTML_GETOBJECT": asks a browser window for its document.
UINT GetHtmlGetObjectMessage();
// The messenger hook library's completion message.
UINT GetHookCompletionMessage();
// The focus-hook library's report to the tray window.
UINT GetFocusHookMessage();
// Sent to every top-level window when the taskbar (re)starts.
UINT GetTaskbarCreatedMessage();
// A second start asks the first to show its main window.
UINT GetActivateMainWndMessage();

// Registers every name above.
void RegisterSharedNames();
