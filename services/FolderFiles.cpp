#include "services/FolderFiles.h"

#include "framework/FileFind.h"

#include <algorithm>

void ListFolderFiles(const CString& strPattern, CSequence<FOLDERFILE>& files)
{
    const int nPatternDot = strPattern.ReverseFind('.');
    const CString strExt = nPatternDot < 0 ? CString() : strPattern.Mid(nPatternDot);
    CFileFind find;
    BOOL bMore = find.FindFile(strPattern);
    while (bMore) {
        bMore = find.FindNextFile();
        if (find.IsDirectory())
            continue;
        const CString strName = find.GetFileName();
        const int nDot = strName.ReverseFind('.');
        if (nDot < 0 || strName.Mid(nDot).CompareNoCase(strExt) != 0)
            continue;
        FOLDERFILE file;
        file.strPath = find.GetFilePath();
        file.strTitle = find.GetFileTitle();
        files.Add(file);
    }
    std::stable_sort(files.m_pData, files.m_pData + files.GetSize(),
                     [](FOLDERFILE* a, FOLDERFILE* b) { return a->strTitle.CompareNoCase(b->strTitle) < 0; });
}
