// Text drawn straight into the 8-bit back buffer with FreeType. Font families carry the
// game's own names ("ＭＳ 明朝", "ＭＳ ゴシック", "ＭＳ Ｐゴシック"); Fontconfig finds the
// installed faces that stand in for them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "engine/Surface.h"
#include "engine/Types.h"

namespace velmora {

extern const char* const kFontMincho;
extern const char* const kFontGothic;
extern const char* const kFontPGothic;

class TTextRenderer {
 public:
  TTextRenderer();
  ~TTextRenderer();
  TTextRenderer(const TTextRenderer&) = delete;
  TTextRenderer& operator=(const TTextRenderer&) = delete;

  // Font size in points at 96 dpi.
  void SetFont(const std::string& family, int size);
  // Writes UTF-8 text with the top-left of its line box at (x, y) in one palette colour,
  // with a clear background, clipped to clip.
  void TextOut(TSurface& target, int x, int y, const std::string& text, uint8_t colour,
               const TRect& clip);
  void TextOut(TSurface& target, int x, int y, const std::string& text, uint8_t colour) {
    TextOut(target, x, y, text, colour, target.ClientRect());
  }
  int TextWidth(const std::string& text);
  int TextHeight();
  // Whether a real font face was found.
  bool HasFont();

 private:
  struct TGlyph {
    int Left = 0, Top = 0, Width = 0, Rows = 0, Advance = 0;
    std::vector<uint8_t> Mask;  // Width*Rows, 1 where the pixel is set
  };
  struct TFace;
  TFace* Face(const std::string& family);
  const TGlyph& Glyph(uint32_t codepoint);

  void* Library_ = nullptr;
  std::map<std::string, std::unique_ptr<TFace>> Faces_;
  TFace* Current_ = nullptr;
  int PixelSize_ = 16;
  std::map<std::tuple<TFace*, int, uint32_t>, TGlyph> Glyphs_;
};

// Decodes UTF-8 into code points (bad bytes become U+FFFD).
std::vector<uint32_t> DecodeUtf8(const std::string& text);

}  // namespace velmora
