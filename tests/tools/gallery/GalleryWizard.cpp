// The gallery's pictures of the first-time wizard.
#include "tests/tools/gallery/GallerySnap.h"

void ShowFirstTimeWizard()
{
}
