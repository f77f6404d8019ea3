#include "platform/qt/QtDisplay.h"

#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QPaintEngine>
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
      Picture_(kWidth, kHeight, QImage::Format_RGB32) {
  setFixedSize(kWidth, kHeight);
  // Every pixel is painted each time, so Qt need not clear what lies below first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::StrongFocus);
  for (QRgb& entry : Lookup_)
    entry = qRgb(0, 0, 0);
  for (uint64_t& pair : Pairs_)
    pair = uint64_t{qRgb(0, 0, 0)} << 32 | qRgb(0, 0, 0);
  Picture_.fill(Qt::black);
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
    Pairs_[i] = uint64_t{Lookup_[i]} << 32 | Lookup_[i];
  }
  // An 8-bit screen recolours at once when its palette changes.
  PictureValid_ = false;
  PictureOnScreen_ = false;
  if (!TitleShown_) repaint();
}

void TQtDisplay::Flip() {
  if (!Initialized_) return;
  const int width = std::min(BackBuffer_.Width(), kWidth);
  const int height = std::min(BackBuffer_.Height(), kHeight);
  bool changed = false;
  for (int y = 0; y < height; ++y) {
    uint8_t* front = FrontIndices_.data() + static_cast<size_t>(y) * kWidth;
    const uint8_t* back = BackBuffer_.Row(y);
    if (!changed && std::memcmp(front, back, width) == 0) continue;
    changed = true;
    std::memcpy(front, back, width);
  }
  // The same picture again (a still text screen, a pause) is on the screen already.
  if (!changed && PictureOnScreen_) return;
  if (changed) PictureValid_ = false;
  PictureOnScreen_ = false;
  // Painted now rather than at the next turn of the event loop: the game sleeps right
  // after some flips (screen transitions) and expects the frame to be visible meanwhile.
  if (!TitleShown_) repaint();
}

void TQtDisplay::Colour(uchar* bits, qsizetype bytesPerLine, int scale) const {
  // Each row is coloured and widened once, then copied for the rows below it.
  for (int y = 0; y < kHeight; ++y) {
    const uint8_t* src = FrontIndices_.data() + static_cast<size_t>(y) * kWidth;
    uchar* first = bits + static_cast<qsizetype>(y) * scale * bytesPerLine;
    auto* dst = reinterpret_cast<QRgb*>(first);
    if (scale == 1) {
      for (int x = 0; x < kWidth; ++x)
        dst[x] = Lookup_[src[x]];
    } else if (scale == 2) {
      // The common window: a pixel pair a store.
      for (int x = 0; x < kWidth; ++x)
        std::memcpy(first + 8 * x, &Pairs_[src[x]], 8);
    } else {
      for (int x = 0; x < kWidth; ++x) {
        const QRgb colour = Lookup_[src[x]];
        for (int i = 0; i < scale; ++i)
          *dst++ = colour;
      }
    }
    const size_t rowBytes = static_cast<size_t>(kWidth) * scale * sizeof(QRgb);
    for (int i = 1; i < scale; ++i)
      std::memcpy(first + i * bytesPerLine, first, rowBytes);
  }
}

const QImage& TQtDisplay::Picture() const {
  if (!PictureValid_) {
    Colour(Picture_.bits(), Picture_.bytesPerLine(), 1);
    PictureValid_ = true;
  }
  return Picture_;
}

bool TQtDisplay::PaintInPlace(QPainter& painter, const QRect& target) const {
  // With Qt's raster painting the window's picture is an image in memory: the frame is
  // coloured and enlarged straight into it, with no picture of its own in between. Only
  // at whole pixels (no HiDPI scaling) and whole enlargements; anything else is drawn.
  const int scale = target.width() / kWidth;
  if (scale < 1 || target.width() != scale * kWidth || target.height() != scale * kHeight)
    return false;
  const QPaintEngine* engine = painter.paintEngine();
  QPaintDevice* device = engine != nullptr ? engine->paintDevice() : nullptr;
  if (device == nullptr || device->devType() != QInternal::Image) return false;
  auto* window = static_cast<QImage*>(device);
  const QImage::Format format = window->format();
  if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
      format != QImage::Format_ARGB32_Premultiplied)
    return false;
  const QTransform& transform = painter.deviceTransform();
  if (transform.type() > QTransform::TxTranslate || window->devicePixelRatio() != 1.0) return false;
  const QRect at = target.translated(qRound(transform.dx()), qRound(transform.dy()));
  if (!window->rect().contains(at)) return false;
  uchar* bits = window->bits();
  Colour(bits + static_cast<qsizetype>(at.y()) * window->bytesPerLine() + at.x() * 4,
         window->bytesPerLine(), scale);
  return true;
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
  PictureOnScreen_ = false;
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
  return Picture();
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
  if (TitleShown_) {
    painter.drawImage(target, TitleImage());
    return;
  }
  if (!PaintInPlace(painter, target)) painter.drawImage(target, Picture());
  PictureOnScreen_ = true;
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
  PictureOnScreen_ = false;
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
