// Pictures made in code for tests that need a catalogue of known shapes.
#pragma once

#include "engine/ImageList.h"

namespace velmora::test {

// A grey-scale palette with fuchsia at 253, so key and drawn pixels differ.
TPalette TestPalette();

// An 8-bit picture filled with one palette index.
TPicture SolidPicture(int width, int height, uint8_t index);

// Adds an initialised item of that size, cut into patterns, filled with `index`.
TPictureCollectionItem& AddTestImage(TPictureCollection& items, const std::string& name, int width,
                                     int height, int patternWidth = 0, int patternHeight = 0,
                                     uint8_t index = 7);

}  // namespace velmora::test
