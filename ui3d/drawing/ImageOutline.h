// The outline of a transparent skin picture, from which a window region is made.
#pragma once

#include "ui3d/StyleRecords.h"

class CImageReader;

// Walks the pixel edges around the opaque area that holds the first opaque
// pixel (rows from the top, each from the left) and returns the corners of
// the walk in the outline; the polygon closes at its start. Only for a
// loaded GIF whose first frame has transparency; 0 otherwise (the outline is
// then emptied).
int TraceImageOutline(POINTARRAY& outline, const CImageReader* pImage);

// The same walk over a mask of cx x cy flags (non-zero: opaque), row 0 first.
int TraceOutline(POINTARRAY& outline, const BYTE* pOpaque, int cx, int cy);
