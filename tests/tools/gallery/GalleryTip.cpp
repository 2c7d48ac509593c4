// The gallery's pictures of the tip of the day and the quick-open hint.
#include "tests/tools/gallery/GallerySnap.h"

void ShowTipOfTheDay()
{
}
