// The gallery's pictures of the smilie properties dialog.
#include "tests/tools/gallery/GallerySnap.h"

void ShowSmilieProperties()
{
}
