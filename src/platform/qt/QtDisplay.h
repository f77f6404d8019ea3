// The 640x480 8-bit display: a widget that shows the flipped back buffer through the
// palette, or the still title picture.
#pragma once

#include <QImage>
#include <QWidget>

class QPainter;

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace velmora {

// An embedded picture ("images/Icon.bmp" ...) as a Qt image; pixels of the transparent
// colour, if given, become see-through. Throws when the picture is missing or damaged.
QImage EmbeddedPicture(const std::string& name, std::optional<TRGB> transparent = {});

class TQtDisplay : public QWidget, public IDisplay {
  Q_OBJECT

 public:
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 480;

  explicit TQtDisplay(QWidget* parent = nullptr);

  bool Initialized() const override { return Initialized_; }
  bool Initialize() override;
  void Finalize() override;
  bool CanDraw() const override { return Initialized_; }
  TSurface& BackBuffer() override { return BackBuffer_; }
  void SetPalette(const TPalette& palette) override;
  const TPalette& Palette() const override { return Palette_; }
  void Flip() override;
  void SetCaption(const std::string& caption) override;
  std::string Caption() const override;
  void ShowTitleImage(bool show) override;
  void CloseWindow() override;
  void MinimizeWindow() override;
  void RestoreWindow() override;
  void SetScreenSize(int windowScale, bool fullScreen) override;
  int FittingWindowScale() const override;

  bool TitleImageShown() const { return TitleShown_; }
  bool FullScreen() const { return FullScreen_; }
  // Where the picture is drawn inside the widget now.
  QRect PictureRect() const;
  // What is on the screen now, at 640x480 (for checks and screenshots).
  QImage Frame() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // The indices last flipped through the palette into 32-bit pixels at `bits`, each
  // pixel `scale` times in each direction.
  void Colour(uchar* bits, qsizetype bytesPerLine, int scale) const;
  // The last frame coloured at its own size, made when first wanted after a change.
  const QImage& Picture() const;
  // Paints the frame by writing it into the window's image directly, where it can.
  bool PaintInPlace(QPainter& painter, const QRect& target) const;
  const QImage& TitleImage() const;

  bool Initialized_ = false;
  bool TitleShown_ = false;
  int Scale_ = 1;
  bool FullScreen_ = false;
  TSurface BackBuffer_;
  TPalette Palette_{};
  // The palette as pixels, made once per palette change; Pairs_ holds each twice over.
  std::array<QRgb, 256> Lookup_{};
  std::array<uint64_t, 256> Pairs_{};
  // The indices last flipped: a palette change recolours them without a new flip, and a
  // flip of the same picture again need not be drawn at all.
  std::vector<uint8_t> FrontIndices_;
  // FrontIndices_ coloured, for screenshots and for screens that are not drawn in place.
  mutable QImage Picture_;
  mutable bool PictureValid_ = false;
  // The last frame flipped has been painted, and nothing has covered it since.
  bool PictureOnScreen_ = false;
  // Decoded on first use.
  mutable QImage Title_;
  mutable bool TitleLoaded_ = false;
};

}  // namespace velmora
