#include "engine/Bmp.h"

#include <cstring>
#include <stdexcept>

namespace velmora {

namespace {

uint32_t Le32(std::span<const uint8_t> b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t Le16(std::span<const uint8_t> b, size_t at) {
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i)
    v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}
void Put16(std::vector<uint8_t>& v, uint16_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}
[[noreturn]] void Bad(const char* why) {
  throw std::runtime_error(std::string("BMP: ") + why);
}

}  // namespace

TRGB TPicture::ColourAt(int x, int y) const {
  const size_t i = static_cast<size_t>(y) * Width + x;
  return Palettised() ? Palette[Indices[i]] : Rgb[i];
}

TPicture DecodeBmp(std::span<const uint8_t> b) {
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') Bad("not a bitmap file");
  const uint32_t dataOffset = Le32(b, 10);
  const uint32_t headerSize = Le32(b, 14);
  if (headerSize < 40 || 14 + static_cast<uint64_t>(headerSize) > b.size()) Bad("bad header");
  const int32_t width = static_cast<int32_t>(Le32(b, 18));
  const int32_t rawHeight = static_cast<int32_t>(Le32(b, 22));
  const uint16_t bits = Le16(b, 28);
  const uint32_t compression = Le32(b, 30);
  uint32_t colours = Le32(b, 46);
  if (width <= 0 || rawHeight == 0 || width > 16384 || rawHeight > 16384 || rawHeight < -16384)
    Bad("bad size");
  if (compression != 0) Bad("compressed pictures are not supported");
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) Bad("bad bit count");

  TPicture p;
  p.Width = width;
  p.Height = rawHeight < 0 ? -rawHeight : rawHeight;
  p.BitCount = bits;
  const bool bottomUp = rawHeight > 0;

  if (bits <= 8) {
    const uint32_t maxColours = 1u << bits;
    if (colours == 0 || colours > maxColours) colours = maxColours;
    const size_t palAt = 14 + headerSize;
    if (palAt + colours * 4ull > b.size()) Bad("truncated palette");
    p.Palette.assign(maxColours, TRGB{});
    for (uint32_t i = 0; i < colours; ++i)
      p.Palette[i] = {b[palAt + i * 4 + 2], b[palAt + i * 4 + 1], b[palAt + i * 4]};
  }
  const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
  if (dataOffset + stride * p.Height > b.size()) Bad("truncated pixel data");

  const size_t count = static_cast<size_t>(p.Width) * p.Height;
  if (bits <= 8)
    p.Indices.resize(count);
  else
    p.Rgb.resize(count);
  for (int y = 0; y < p.Height; ++y) {
    const uint8_t* row = b.data() + dataOffset + stride * (bottomUp ? p.Height - 1 - y : y);
    for (int x = 0; x < p.Width; ++x) {
      const size_t i = static_cast<size_t>(y) * p.Width + x;
      switch (bits) {
        case 1:
          p.Indices[i] = (row[x / 8] >> (7 - x % 8)) & 1;
          break;
        case 4:
          p.Indices[i] = (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF;
          break;
        case 8:
          p.Indices[i] = row[x];
          break;
        case 24:
          p.Rgb[i] = {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]};
          break;
        default:
          p.Rgb[i] = {row[x * 4 + 2], row[x * 4 + 1], row[x * 4]};
          break;
      }
    }
  }
  return p;
}

std::vector<uint8_t> EncodeBmp8(int width, int height, const std::vector<uint8_t>& indices,
                                const TPalette& palette) {
  const size_t stride = (static_cast<size_t>(width) + 3) / 4 * 4;
  const uint32_t dataOffset = 14 + 40 + 256 * 4;
  const uint32_t fileSize = dataOffset + static_cast<uint32_t>(stride * height);
  std::vector<uint8_t> v;
  v.reserve(fileSize);
  v.push_back('B');
  v.push_back('M');
  Put32(v, fileSize);
  Put32(v, 0);
  Put32(v, dataOffset);
  Put32(v, 40);
  Put32(v, static_cast<uint32_t>(width));
  Put32(v, static_cast<uint32_t>(height));
  Put16(v, 1);
  Put16(v, 8);
  Put32(v, 0);
  Put32(v, static_cast<uint32_t>(stride * height));
  Put32(v, 3780);
  Put32(v, 3780);
  Put32(v, 256);
  Put32(v, 0);
  for (const TRGB& c : palette) {
    v.push_back(c.B);
    v.push_back(c.G);
    v.push_back(c.R);
    v.push_back(0);
  }
  for (int y = height - 1; y >= 0; --y) {
    const size_t start = v.size();
    v.insert(v.end(), indices.begin() + static_cast<size_t>(y) * width,
             indices.begin() + static_cast<size_t>(y + 1) * width);
    v.resize(start + stride, 0);
  }
  return v;
}

}  // namespace velmora
