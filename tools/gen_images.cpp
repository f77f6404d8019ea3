// Draws every picture of the game procedurally and writes them as 8-bit BMP files that all
// share one palette. Usage: gen_images OUTDIR
//
// The pictures are drawn in tools/images/, a file for each family, on the shared painting
// helpers of tools/images/Painting.h.
#include <cstdio>
#include <exception>
#include <filesystem>

#include "images/Families.h"
#include "images/Painting.h"

int main(int argc, char** argv) {
  using namespace velmora::images;
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
    return 2;
  }
  try {
    std::filesystem::create_directories(argv[1]);
    Output out{argv[1]};
    WriteAircraft(out);
    WriteShips(out);
    WriteShotsAndItems(out);
    WriteEffects(out);
    WriteBonusCharacters(out);
    WriteTextAndBackgrounds(out);
    WriteCommonPal(out);
    std::printf("wrote %d pictures to %s\n", out.Written, argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "gen_images: %s\n", e.what());
    return 1;
  }
  return 0;
}
