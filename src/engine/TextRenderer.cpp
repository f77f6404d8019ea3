#include "engine/TextRenderer.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

namespace velmora {

const char* const kFontMincho = "ＭＳ 明朝";
const char* const kFontGothic = "ＭＳ ゴシック";
const char* const kFontPGothic = "ＭＳ Ｐゴシック";

struct TTextRenderer::TFace {
  FT_Face Handle = nullptr;
  ~TFace() {
    if (Handle) FT_Done_Face(Handle);
  }
};

namespace {

// The installed families that stand in for the game's fonts.
std::string FontconfigPattern(const std::string& family) {
  if (family == kFontMincho) return "IPAMincho:lang=ja";
  if (family == kFontGothic) return "IPAGothic:lang=ja";
  if (family == kFontPGothic) return "IPAPGothic:lang=ja";
  return family + ":lang=ja";
}

std::string FindFontFile(const std::string& family) {
  if (!FcInit()) return {};
  FcPattern* pattern =
      FcNameParse(reinterpret_cast<const FcChar8*>(FontconfigPattern(family).c_str()));
  if (!pattern) return {};
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  std::string file;
  if (match) {
    FcChar8* path = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path)
      file = reinterpret_cast<const char*>(path);
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return file;
}

}  // namespace

std::vector<uint32_t> DecodeUtf8(const std::string& text) {
  std::vector<uint32_t> out;
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const int extra = c < 0x80             ? 0
                      : (c & 0xE0) == 0xC0 ? 1
                      : (c & 0xF0) == 0xE0 ? 2
                      : (c & 0xF8) == 0xF0 ? 3
                                           : -1;
    uint32_t cp = extra > 0 ? (c & (0x3Fu >> extra)) : c;
    bool ok = extra >= 0 && i + extra < text.size();
    for (int k = 1; ok && k <= extra; ++k) {
      const unsigned char t = static_cast<unsigned char>(text[i + k]);
      ok = (t & 0xC0) == 0x80;
      cp = (cp << 6) | (t & 0x3F);
    }
    if (!ok) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    out.push_back(cp);
    i += extra + 1;
  }
  return out;
}

TTextRenderer::TTextRenderer() {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) == 0) Library_ = library;
  SetFont(kFontGothic, 12);
}

TTextRenderer::~TTextRenderer() {
  Glyphs_.clear();
  Faces_.clear();
  if (Library_) FT_Done_FreeType(static_cast<FT_Library>(Library_));
}

TTextRenderer::TFace* TTextRenderer::Face(const std::string& family) {
  auto it = Faces_.find(family);
  if (it != Faces_.end()) return it->second.get();
  auto face = std::make_unique<TFace>();
  if (Library_) {
    const std::string file = FindFontFile(family);
    if (!file.empty() &&
        FT_New_Face(static_cast<FT_Library>(Library_), file.c_str(), 0, &face->Handle) != 0)
      face->Handle = nullptr;
  }
  return Faces_.emplace(family, std::move(face)).first->second.get();
}

void TTextRenderer::SetFont(const std::string& family, int size) {
  Current_ = Face(family);
  PixelSize_ = std::max(1, size * 96 / 72);
}

bool TTextRenderer::HasFont() {
  return Current_ && Current_->Handle;
}

const TTextRenderer::TGlyph& TTextRenderer::Glyph(uint32_t codepoint) {
  const auto key = std::make_tuple(Current_, PixelSize_, codepoint);
  auto it = Glyphs_.find(key);
  if (it != Glyphs_.end()) return it->second;
  TGlyph glyph;
  FT_Face face = Current_ ? Current_->Handle : nullptr;
  if (face && FT_Set_Pixel_Sizes(face, 0, PixelSize_) == 0 &&
      FT_Load_Char(face, codepoint, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0) {
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.Left = slot->bitmap_left;
    glyph.Top = slot->bitmap_top;
    glyph.Width = static_cast<int>(bitmap.width);
    glyph.Rows = static_cast<int>(bitmap.rows);
    glyph.Advance = static_cast<int>(slot->advance.x >> 6);
    glyph.Mask.resize(static_cast<size_t>(glyph.Width) * glyph.Rows);
    // One palette colour per text: a pixel is either inked or not, so the glyphs are
    // rendered hinted for one bit per pixel, which keeps thin strokes whole.
    for (int y = 0; y < glyph.Rows; ++y) {
      const unsigned char* row = bitmap.buffer + y * bitmap.pitch;
      for (int x = 0; x < glyph.Width; ++x) {
        const bool inked = bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? (row[x / 8] >> (7 - x % 8)) & 1
                                                                   : row[x] >= 96;
        glyph.Mask[static_cast<size_t>(y) * glyph.Width + x] = inked ? 1 : 0;
      }
    }
  }
  return Glyphs_.emplace(key, std::move(glyph)).first->second;
}

int TTextRenderer::TextWidth(const std::string& text) {
  int width = 0;
  for (uint32_t cp : DecodeUtf8(text))
    width += Glyph(cp).Advance;
  return width;
}

int TTextRenderer::TextHeight() {
  FT_Face face = Current_ ? Current_->Handle : nullptr;
  if (!face || FT_Set_Pixel_Sizes(face, 0, PixelSize_) != 0) return PixelSize_;
  return static_cast<int>((face->size->metrics.ascender - face->size->metrics.descender) >> 6);
}

void TTextRenderer::TextOut(TSurface& target, int x, int y, const std::string& text, uint8_t colour,
                            const TRect& clip) {
  FT_Face face = Current_ ? Current_->Handle : nullptr;
  if (!face || FT_Set_Pixel_Sizes(face, 0, PixelSize_) != 0) return;
  const int baseline = y + static_cast<int>(face->size->metrics.ascender >> 6);
  const int l = std::max(clip.Left, 0), t = std::max(clip.Top, 0);
  const int r = std::min(clip.Right, target.Width()), b = std::min(clip.Bottom, target.Height());
  int penX = x;
  for (uint32_t cp : DecodeUtf8(text)) {
    const TGlyph& g = Glyph(cp);
    const int gx = penX + g.Left, gy = baseline - g.Top;
    for (int row = 0; row < g.Rows; ++row) {
      const int py = gy + row;
      if (py < t || py >= b) continue;
      uint8_t* dest = target.Row(py);
      const uint8_t* mask = g.Mask.data() + static_cast<size_t>(row) * g.Width;
      for (int col = 0; col < g.Width; ++col) {
        const int px = gx + col;
        if (px >= l && px < r && mask[col]) dest[px] = colour;
      }
    }
    penX += g.Advance;
  }
}

}  // namespace velmora
