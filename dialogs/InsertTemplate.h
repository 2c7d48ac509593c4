// The rule every editor of an insertion template applies before it accepts
// one: at most 10000 characters, and "<SMILIE>" (where the smilie's address
// goes) somewhere in it unless it is empty (empty: the field's own applies).
#pragma once

#include "framework/Str.h"

enum
{
    MAX_INSERT_TEMPLATE = 10000
};

extern const char kInsertTemplateKeyword[];  // "<SMILIE>"

enum INSERTTEMPLATECHECK
{
    TEMPLATE_ACCEPTED = 0,
    TEMPLATE_NO_KEYWORD = 1,   // not empty and without "<SMILIE>"
    TEMPLATE_TOO_LONG = 2      // more than MAX_INSERT_TEMPLATE characters
};

INSERTTEMPLATECHECK CheckInsertTemplate(const CString& strTemplate);
