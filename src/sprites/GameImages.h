// The image catalogue sprites take their pictures from.
#pragma once

#include "engine/ImageList.h"

namespace velmora {

// The game record's catalogue, or the one set for testing. Throws std::logic_error when
// neither exists.
TPictureCollection& GameImages();
// Lets sprites be built without a game record; nullptr goes back to the record's catalogue.
void SetGameImagesForTesting(TPictureCollection* images);

}  // namespace velmora
