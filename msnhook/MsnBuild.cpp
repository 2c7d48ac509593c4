#include "msnhook/MsnBuild.h"

#if !defined(TVNX_MSNM_BUILD) || (TVNX_MSNM_BUILD != 6 && TVNX_MSNM_BUILD != 7)
#error "TVNX_MSNM_BUILD must be 6 or 7"
#endif

namespace {

#if TVNX_MSNM_BUILD == 6
// Messenger 6 shows its emoticon list as an ordinary dialog around a list view.
const ULONGLONG s_versions[] = {MakeFileVersion(6, 2, 205, 0)};
const MSNBUILD s_build = {6, 40257, "#32770", "SysListView32", 1420, s_versions, 1};
#else
// Messenger 7 draws the emoticon list with its own UI engine: a "DUIDialog"
// frame around a "DirectUIHWND" surface.
const ULONGLONG s_versions[] = {MakeFileVersion(7, 0, 777, 0), MakeFileVersion(7, 0, 813, 0)};
const MSNBUILD s_build = {7, 40349, "DUIDialog", "DirectUIHWND", 2326, s_versions, 2};
#endif

}

const MSNBUILD& ThisBuild()
{
    return s_build;
}
