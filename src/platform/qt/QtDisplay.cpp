#include "platform/qt/QtDisplay.h"

#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>

#include "engine/Assets.h"
#include "engine/Bmp.h"

namespace velmora {

TQtDisplay::TQtDisplay(QWidget* parent)
    : QWidget(parent),
      BackBuffer_(kWidth, kHeight),
      FrontIndices_(static_cast<size_t>(kWidth) * kHeight, 0),
      Front_(kWidth, kHeight, QImage::Format_RGB32) {
  setFixedSize(kWidth, kHeight);
  // Every pixel is painted each time, so Qt need not clear what lies below first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::StrongFocus);
  for (QRgb& entry : Lookup_)
    entry = qRgb(0, 0, 0);
  Front_.fill(Qt::black);
}

bool TQtDisplay::Initialize() {
  // A reset hands out fresh surfaces, as recreating them on the video card did.
  BackBuffer_.SetSize(kWidth, kHeight);
  BackBuffer_.Fill(0);
  Initialized_ = true;
  return true;
}

void TQtDisplay::Finalize() {
  Initialized_ = false;
}

void TQtDisplay::SetPalette(const TPalette& palette) {
  Palette_ = palette;
  for (size_t i = 0; i < palette.size(); ++i) {
    Lookup_[i] = qRgb(palette[i].R, palette[i].G, palette[i].B);
  }
  // An 8-bit screen recolours at once when its palette changes.
  ConvertFront();
  if (!TitleShown_) repaint();
}

void TQtDisplay::Flip() {
  if (!Initialized_) return;
  const int width = std::min(BackBuffer_.Width(), kWidth);
  const int height = std::min(BackBuffer_.Height(), kHeight);
  for (int y = 0; y < height; ++y) {
    std::memcpy(FrontIndices_.data() + static_cast<size_t>(y) * kWidth, BackBuffer_.Row(y), width);
  }
  ConvertFront();
  // Painted now rather than at the next turn of the event loop: the game sleeps right
  // after some flips (screen transitions) and expects the frame to be visible meanwhile.
  if (!TitleShown_) repaint();
}

void TQtDisplay::ConvertFront() {
  for (int y = 0; y < kHeight; ++y) {
    const uint8_t* src = FrontIndices_.data() + static_cast<size_t>(y) * kWidth;
    auto* dst = reinterpret_cast<QRgb*>(Front_.scanLine(y));
    for (int x = 0; x < kWidth; ++x)
      dst[x] = Lookup_[src[x]];
  }
}

void TQtDisplay::SetCaption(const std::string& caption) {
  window()->setWindowTitle(QString::fromStdString(caption));
}

std::string TQtDisplay::Caption() const {
  return window()->windowTitle().toStdString();
}

void TQtDisplay::ShowTitleImage(bool show) {
  if (TitleShown_ == show) return;
  TitleShown_ = show;
  update();
}

QImage EmbeddedPicture(const std::string& name, std::optional<TRGB> transparent) {
  const TPicture picture = DecodeBmp(FindAsset(name));
  QImage image(picture.Width, picture.Height, QImage::Format_ARGB32);
  for (int y = 0; y < picture.Height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < picture.Width; ++x) {
      const TRGB c = picture.ColourAt(x, y);
      row[x] = transparent && c == *transparent ? qRgba(0, 0, 0, 0) : qRgb(c.R, c.G, c.B);
    }
  }
  return image;
}

const QImage& TQtDisplay::TitleImage() const {
  if (TitleLoaded_) return Title_;
  TitleLoaded_ = true;
  Title_ = QImage(kWidth, kHeight, QImage::Format_RGB32);
  Title_.fill(Qt::black);
  try {
    const QImage source = EmbeddedPicture("images/TitleImage.bmp");
    Title_ = source.size() == Title_.size()
                 ? source
                 : source.scaled(kWidth, kHeight, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  } catch (const std::exception& e) {
    // A missing picture leaves the menu screen black; the game itself goes on.
    std::fprintf(stderr, "velmora: title picture: %s\n", e.what());
  }
  return Title_;
}

QImage TQtDisplay::Frame() const {
  if (TitleShown_) return TitleImage();
  return Front_;
}

void TQtDisplay::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  // Whole pixels on HiDPI screens: the art is 8-bit pixel art.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  const QRect target(0, 0, kWidth, kHeight);
  if (TitleShown_) {
    painter.drawImage(target, TitleImage());
  } else {
    painter.drawImage(target, Front_);
  }
}

void TQtDisplay::CloseWindow() {
  window()->close();
}

void TQtDisplay::MinimizeWindow() {
  window()->showMinimized();
}

void TQtDisplay::RestoreWindow() {
  window()->showNormal();
}

}  // namespace velmora
