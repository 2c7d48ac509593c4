#include "services/Registered.h"

#include "msnhook/MsnHookApi.h"
#include "services/Messages.h"

CLIPFORMAT GetHtmlClipFormat()
{
    static const CLIPFORMAT s_cf = CLIPFORMAT(RegisterClipboardFormatA("HTML Format"));
    return s_cf;
}

CLIPFORMAT GetUrlClipFormat()
{
    static const CLIPFORMAT s_cf = CLIPFORMAT(RegisterClipboardFormatA("UniformResourceLocator"));
    return s_cf;
}

CLIPFORMAT GetTextHtmlClipFormat()
{
    static const CLIPFORMAT s_cf = CLIPFORMAT(RegisterClipboardFormatA("text/html"));
    return s_cf;
}

CLIPFORMAT GetNetscapeEditorClipFormat()
{
    static const CLIPFORMAT s_cf = CLIPFORMAT(RegisterClipboardFormatA("NETSCAPE_EDITOR"));
    return s_cf;
}

CLIPFORMAT GetSmilieGroupClipFormat()
{
    static const CLIPFORMAT s_cf = CLIPFORMAT(RegisterClipboardFormatA("Tarvenex's Group of Smilies"));
    return s_cf;
}

UINT GetHtmlGetObjectMessage()
{
    static const UINT s_nMsg = RegisterWindowMessageA("WM_HTML_GETOBJECT");
    return s_nMsg;
}

UINT GetHookCompletionMessage()
{
    static const UINT s_nMsg = RegisterWindowMessageA(MSNHOOK_COMPLETION_MESSAGE);
    return s_nMsg;
}

UINT GetFocusHookMessage()
{
    static const UINT s_nMsg = RegisterWindowMessageA(TVNX_MSG_FOCUSHOOK);
    return s_nMsg;
}

UINT GetTaskbarCreatedMessage()
{
    static const UINT s_nMsg = RegisterWindowMessageA(TVNX_MSG_TASKBARCREATED);
    return s_nMsg;
}

UINT GetActivateMainWndMessage()
{
    static const UINT s_nMsg = RegisterWindowMessageA(TVNX_MSG_ACTIVATEMAINWND);
    return s_nMsg;
}

void RegisterSharedNames()
{
    GetHtmlClipFormat();
    GetUrlClipFormat();
    GetTextHtmlClipFormat();
    GetNetscapeEditorClipFormat();
    GetSmilieGroupClipFormat();
    GetHtmlGetObjectMessage();
    GetHookCompletionMessage();
    GetFocusHookMessage();
    GetTaskbarCreatedMessage();
    GetActivateMainWndMessage();
}
