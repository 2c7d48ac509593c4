#include "dialogs/InsertTemplate.h"

const char kInsertTemplateKeyword[] = "<SMILIE>";

INSERTTEMPLATECHECK CheckInsertTemplate(const CString& strTemplate)
{
    if (strTemplate.GetLength() > MAX_INSERT_TEMPLATE)
        return TEMPLATE_TOO_LONG;
    if (!strTemplate.IsEmpty() && strTemplate.Find(kInsertTemplateKeyword) < 0)
        return TEMPLATE_NO_KEYWORD;
    return TEMPLATE_ACCEPTED;
}
