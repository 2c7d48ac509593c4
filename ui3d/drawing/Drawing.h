// The drawing toolkit from which every skinned surface is made.
#pragma once

#include "ui3d/drawing/ColorRamp.h"
#include "ui3d/drawing/DialogTemplate.h"
#include "ui3d/drawing/Frames.h"
#include "ui3d/drawing/Gradients.h"
#include "ui3d/drawing/ImageOutline.h"
#include "ui3d/drawing/PalettePaint.h"
#include "ui3d/drawing/PixelOps.h"
#include "ui3d/drawing/SkinBackground.h"
#include "ui3d/drawing/Tiling.h"
#include "ui3d/system/SysUtils.h"   // MeasureText
