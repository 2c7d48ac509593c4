// How well one colour reads on another: the relative luminance and contrast
// ratio of the web's accessibility guidelines, in integers so that every
// build (x87 or SSE2) gives the same answers.
#pragma once

#include <windows.h>

// Relative luminance in millionths, 0 (black) to 1000000 (white).
int RelativeLuminance(COLORREF clr);

// Contrast ratio of two colours in hundredths, 100 (equal) to 2100 (black
// on white), truncated.
int ContrastRatio100(COLORREF a, COLORREF b);

// The colour itself when it reads on clrBack at nMin100 hundredths or more;
// else the colour moved toward white (on a dark back) or black (on a light
// one) by the least whole percentage that reaches that ratio, or all the way
// when no step does. The hue is kept as long as the channels allow.
COLORREF ReadableOn(COLORREF clr, COLORREF clrBack, int nMin100);
