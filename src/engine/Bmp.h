// Device-independent bitmaps: the pictures of the catalogue are stored as BMP files.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/Types.h"

namespace velmora {

// A decoded picture. Palettised pictures (1, 4 or 8 bits) keep their indices and palette;
// true-colour pictures are kept as RGB with an empty palette.
struct TPicture {
  int Width = 0;
  int Height = 0;
  int BitCount = 0;
  std::vector<TRGB> Palette;     // 2^BitCount entries for palettised pictures
  std::vector<uint8_t> Indices;  // Width*Height, top row first (palettised)
  std::vector<TRGB> Rgb;         // Width*Height, top row first (true colour)

  bool Palettised() const { return BitCount <= 8; }
  TRGB ColourAt(int x, int y) const;
};

// Throws std::runtime_error with a readable message on a damaged or unsupported file.
TPicture DecodeBmp(std::span<const uint8_t> bytes);
// Writes an uncompressed 8-bit BMP with a 256-entry palette.
std::vector<uint8_t> EncodeBmp8(int width, int height, const std::vector<uint8_t>& indices,
                                const TPalette& palette);

}  // namespace velmora
