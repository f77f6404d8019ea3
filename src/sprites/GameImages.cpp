#include "sprites/GameImages.h"

#include <stdexcept>

#include "shell/MainForm.h"

namespace velmora {

namespace {
TPictureCollection* TestImages = nullptr;
}

TPictureCollection& GameImages() {
  if (TestImages) return *TestImages;
  if (!MainForm) throw std::logic_error("no image catalogue: the main form does not exist");
  return MainForm->ImageList.Items;
}

void SetGameImagesForTesting(TPictureCollection* images) {
  TestImages = images;
}

}  // namespace velmora
