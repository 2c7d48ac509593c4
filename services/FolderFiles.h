// Lists the files of one folder that carry a given extension, in name order,
// so that what the program loads or shows does not depend on the order in
// which the file system returns them.
#pragma once

#include "collection/Sequence.h"
#include "framework/Str.h"

struct FOLDERFILE
{
    CString strPath;   // full path
    CString strTitle;  // the name without its extension
};

// pszPattern is the folder with the wildcard, for example "C:\\Data\\*.tvnx".
// Only names whose extension is exactly that of the pattern are listed: the
// system also matches longer extensions through their short names.
void ListFolderFiles(const CString& strPattern, CSequence<FOLDERFILE>& files);
