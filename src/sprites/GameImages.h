// The image catalogue sprites take their pictures from.
#pragma once

#include "engine/ImageList.h"

namespace velmora {

// The main form's catalogue, or the one set for testing. Throws std::logic_error when
// neither exists.
TPictureCollection& GameImages();
// Lets sprites be built without a main form; nullptr goes back to the main form's catalogue.
void SetGameImagesForTesting(TPictureCollection* images);

}  // namespace velmora
