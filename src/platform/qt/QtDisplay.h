// The 640x480 8-bit display: a widget that shows the flipped back buffer through the
// palette, or the still title picture.
#pragma once

#include <QImage>
#include <QWidget>

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
  void ConvertFront();
  const QImage& TitleImage() const;

  bool Initialized_ = false;
  bool TitleShown_ = false;
  int Scale_ = 1;
  bool FullScreen_ = false;
  TSurface BackBuffer_;
  TPalette Palette_{};
  std::array<QRgb, 256> Lookup_{};
  // The indices last flipped: a palette change recolours them without a new flip.
  std::vector<uint8_t> FrontIndices_;
  QImage Front_;
  // Decoded on first use.
  mutable QImage Title_;
  mutable bool TitleLoaded_ = false;
};

}  // namespace velmora
