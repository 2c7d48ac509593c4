#include "dialogs/Progress.h"

int UpdateAutoProgress(double dFraction, double dWeight)
{
    // No progress window can be shown by this program yet, so there is never a
    // bar to move.
    (void)dFraction;
    (void)dWeight;
    return 0;
}
