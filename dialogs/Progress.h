// The program's one progress window, as long operations see it: they advance
// its bar and need not know whether it is shown.
#pragma once

// Moves the progress bar to the given fraction (of 65535) of a stage whose share
// of the whole bar is dWeight (of 65535). Returns 0 when there is no progress
// window.
int UpdateAutoProgress(double dFraction, double dWeight);
