// The gallery's pictures of the about box and the progress window.
#include "tests/tools/gallery/GallerySnap.h"

void ShowAboutAndProgress()
{
}
