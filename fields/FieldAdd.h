// The commands that add smilies to a field: a new smilie from a web address,
// a new phrase, pictures from files, a page or addresses (dropped, pasted or
// chosen in a file dialog). Each records an undo step with the field's
// parent, the fields container, before it changes the field.
#pragma once

#include "collection/Sequence.h"
#include "fields/DroppedData.h"

#include <windows.h>

class CSmiliesField;

// Largest picture a field takes: bytes, and width plus height (640 + 480).
const DWORD kMaxFieldPictureBytes = 307200;
const int kMaxFieldPicturePerimeter = 1120;

// A smilie without picture whose picture comes from the address, at the cell
// under the client point; asks for the address (and a template) first unless
// the address is longer than 17 characters. 1 when added.
int NewSmilieAt(POINT pt, CSmiliesField* pField, LPCTSTR pszAddress);
// A phrase at the cell under the point; asks for its text first when the
// text is empty. 1 when added.
int NewPhraseAt(POINT pt, CSmiliesField* pField, LPCTSTR pszText);
// The pictures, from the cell under the point onwards in reading order; an
// occupied cell first gets an empty row. With a weight the progress window
// (when shown) advances by it over the list. The number added.
int AddPicturesAt(CSmiliesField* pField, POINT pt, const CSequence<ODOIMGINFO>& pictures, double dWeight);
// Picture files chosen in a file dialog, added at the point; tells the user
// when none could be added. The number added; 0 also when cancelled.
int AddPicturesFromFiles(CSmiliesField* pField, POINT pt);
// Whether the extension (without dot, any case) names a picture file a field takes.
BOOL IsAddablePictureExtension(LPCTSTR pszExtension);

// The file dialog's filter: "<text> (*.gif, *.bmp, *.jpg, *.png)|*.gif; ...||".
CString BuildPictureFilter(LPCTSTR pszText);
