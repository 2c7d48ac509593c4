// What a smilie's source text is: empty, a local file path, the web address of
// its picture, or forum code with such an address between "[img]" and
// "[/img]". The payloads offer by-address documents only for picture
// addresses; the field, the import of dropped data and the dialogs use the
// address and the short name taken from it.
#pragma once

#include "framework/Str.h"

enum {
    SOURCE_PICTURE_ADDRESS = 0,     // the web address of a picture
    SOURCE_NOT_ADDRESS = 1,         // no web address at all (path, phrase, empty)
    SOURCE_OTHER_ADDRESS = 2        // a web address that names no picture
};

// One of the three kinds above, judged on the text trimmed and lower-cased.
int ClassifySourceText(CString text);
// 1 with the picture address the text is, or holds as forum code; else 0 and
// the address is left alone.
int ExtractWebAddress(CString text, CString& address);
// The text with its %hh escapes decoded ("%20" a blank); "%00" stays.
CString UnescapeUrl(CString text);
// The file title of the text (no folder, no extension); without one the
// language's text for a nameless picture.
void GetSourceFileName(CString& name, const char* text);
// The same for an address that may end in "?target=NAME": decoded first, the
// title cut to 16 characters, else the part after the last "?target=".
void GetSourceFileNameNoTarget(CString& name, CString text);
