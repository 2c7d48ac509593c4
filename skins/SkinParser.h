// ParseSkinFile: reads a skin definition file into a parameter table built by
// BuildSkinParams. Every problem becomes one line of an error list; when the
// file switched DEBUG_MODE on, the lines are shown in the skin report window.
#pragma once

#include "skins/SkinParam.h"

enum {
    SKINPARSE_OK = 0,          // no errors
    SKINPARSE_SHOWN = 1,       // errors, shown to the user
    SKINPARSE_NOT_SHOWN = 2    // errors, not shown (DEBUG_MODE off)
};

// Pictures named by relative paths are read from the skin file's folder; the
// process's current directory is left alone.
int ParseSkinFile(const char* pszPath, CSkinParamTable& table);

// The parse without the report window: the error lines, and the number of
// parameters the file never named (their names are in one of the lines).
// FALSE when the file could not be read to its end.
BOOL ParseSkinLines(const char* pszPath, CSkinParamTable& table, CSequence<CString>& errors, int* pnNotFound);

// The text of the report window for the error lines of pszPath.
CString FormatSkinReport(const char* pszPath, const CSequence<CString>& errors, int nNotFound);
