#include "sprites/GameImages.h"

#include <stdexcept>

#include "game/GameRecord.h"

namespace velmora {

namespace {
TPictureCollection* TestImages = nullptr;
}

TPictureCollection& GameImages() {
  if (TestImages) return *TestImages;
  if (!Game) throw std::logic_error("no image catalogue: no game record exists");
  return Game->ImageList.Items;
}

void SetGameImagesForTesting(TPictureCollection* images) {
  TestImages = images;
}

}  // namespace velmora
