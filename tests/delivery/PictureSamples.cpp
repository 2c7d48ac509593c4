// The picture writers of the collection tests, built into this executable too.
#include "tests/collection/PictureSamples.cpp"
