#!/bin/sh
# Draws the side picture of the property-sheet tests and the gallery, with its
# opacity image (white opaque, black transparent), as GIFs beside this script.
# Run with Debian's ImageMagick (/usr/bin/convert); the output is committed.
set -e
cd "$(dirname "$0")"
/usr/bin/convert -size 64x168 gradient:'rgb(59,130,196)'-'rgb(30,52,84)' \
  -fill 'rgb(250,204,72)' -stroke 'rgb(120,84,20)' -strokewidth 2 -draw 'circle 32,46 32,24' \
  -fill 'rgb(60,40,10)' -stroke none -draw 'ellipse 24,40 3,5 0,360' -draw 'ellipse 40,40 3,5 0,360' \
  -fill none -stroke 'rgb(60,40,10)' -strokewidth 3 -draw 'arc 19,36 45,60 30,150' \
  -stroke none -fill 'rgba(232,236,240,0.85)' \
  -draw 'roundrectangle 12,92 52,98 3,3' -draw 'roundrectangle 12,106 44,112 3,3' \
  -draw 'roundrectangle 12,120 48,126 3,3' \
  -colors 64 SheetSide.gif
/usr/bin/convert -size 64x168 xc:black -fill white -draw 'roundrectangle 0,0 63,167 10,10' \
  -colors 2 SheetSideMask.gif
