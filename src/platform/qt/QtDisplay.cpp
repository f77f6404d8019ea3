#include "platform/qt/QtDisplay.h"

#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>

#include "engine/Assets.h"
#include "engine/Bmp.h"
#include "platform/ScreenSize.h"

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

QRect TQtDisplay::PictureRect() const {
  if (!FullScreen_) return QRect(0, 0, kWidth * Scale_, kHeight * Scale_);
  const TScreenRect r = LetterboxRect(width(), height());
  return QRect(r.X, r.Y, r.Width, r.Height);
}

void TQtDisplay::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  // Whole pixels at every size: the art is 8-bit pixel art.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  const QRect target = PictureRect();
  if (target.size() != size()) {
    // The black bars of the full screen.
    const QRegion bars = QRegion(rect()).subtracted(target);
    for (const QRect& bar : bars)
      painter.fillRect(bar, Qt::black);
  }
  painter.drawImage(target, TitleShown_ ? TitleImage() : Front_);
}

void TQtDisplay::SetScreenSize(int windowScale, bool fullScreen) {
  Scale_ = std::clamp(windowScale, 1, kMaxWindowScale);
  FullScreen_ = fullScreen;
  QWidget* frame = window();
  QLayout* layout = frame != this ? frame->layout() : nullptr;
  if (fullScreen) {
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (layout != nullptr) layout->setSizeConstraint(QLayout::SetDefaultConstraint);
    if (frame != this) {
      // The fixed window size would otherwise hold the window at its old size.
      frame->setMinimumSize(0, 0);
      frame->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
      frame->setWindowState(frame->windowState() | Qt::WindowFullScreen);
    }
  } else {
    if (frame != this) frame->setWindowState(frame->windowState() & ~Qt::WindowFullScreen);
    // The client area is the picture, exactly: no resizing, no grip.
    setFixedSize(kWidth * Scale_, kHeight * Scale_);
    if (layout != nullptr) layout->setSizeConstraint(QLayout::SetFixedSize);
  }
  update();
}

int TQtDisplay::FittingWindowScale() const {
  const QWidget* frame = window();
  const QScreen* where = frame->screen();
  if (where == nullptr) return 1;
  const QRect free = where->availableGeometry();
  // Around the picture: the menu bar, and the window manager's frame and title bar (a
  // guess until the window has been shown once).
  const auto* main = qobject_cast<const QMainWindow*>(frame);
  const int menu = main != nullptr ? main->menuBar()->sizeHint().height() : 0;
  QSize decoration = frame->frameGeometry().size() - frame->geometry().size();
  if (!frame->isVisible() || decoration.height() <= 0) decoration = QSize(4, 32);
  return velmora::FittingWindowScale(free.width(), free.height(), decoration.width(),
                                     decoration.height() + menu);
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
