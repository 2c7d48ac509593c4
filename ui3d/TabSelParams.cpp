#include "ui3d/TabSelParams.h"

#include <cstring>

TABSELPARAMS::TABSELPARAMS()
{
    memset(&font, 0, sizeof(font));
}
