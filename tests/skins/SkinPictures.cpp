// The picture writers of the reader tests, for skin files that name pictures.
#include "tests/collection/PictureSamples.cpp"
