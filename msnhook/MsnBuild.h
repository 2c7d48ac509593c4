// The constants that differ between the messenger 6 and messenger 7 builds of
// the hook library: the menu command and window classes the messenger uses for
// its emoticon dialogs, and the file versions those numbers were taken from.
// The source is compiled once per build with TVNX_MSNM_BUILD set to 6 or 7.
#pragma once

#include <windows.h>

struct MSNBUILD
{
    int messengerVersion;             // 6 or 7 (7 also serves messenger 8)
    WPARAM conversationCommand;       // menu command that opens the emoticon list
    const char* dialog1Class;         // window class of the emoticon list
    const char* dialog1ChildClass;    // child class the emoticon list must have
    WPARAM createCommand;             // command of the list that opens the "create" dialog
    const ULONGLONG* versions;        // supported file versions, MS in the high half
    int versionCount;
};

// The table of the build this module was compiled as.
const MSNBUILD& ThisBuild();

// Packs a file version a.b.c.d the way VS_FIXEDFILEINFO splits it: MS = a.b, LS = c.d.
constexpr ULONGLONG MakeFileVersion(WORD a, WORD b, WORD c, WORD d)
{
    return (static_cast<ULONGLONG>(a) << 48) | (static_cast<ULONGLONG>(b) << 32) |
           (static_cast<ULONGLONG>(c) << 16) | d;
}
