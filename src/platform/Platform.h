// The machine as the core sees it. The core never includes Qt or SDL: the game and the
// headless runner hand it implementations of these interfaces.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/KeyBindings.h"
#include "engine/Surface.h"
#include "engine/Types.h"
#include "platform/Ranking.h"
#include "platform/RecordsView.h"

namespace velmora {

// The 640x480 8-bit display in the game window.
class IDisplay {
 public:
  virtual ~IDisplay() = default;
  virtual bool Initialized() const = 0;
  // Creates (or re-creates) the back buffer in the window: the display reset.
  // Returns false when the display cannot be set up.
  virtual bool Initialize() = 0;
  virtual void Finalize() = 0;
  // True when the back buffer may be drawn and flipped now.
  virtual bool CanDraw() const = 0;
  virtual TSurface& BackBuffer() = 0;
  virtual void SetPalette(const TPalette& palette) = 0;
  virtual const TPalette& Palette() const = 0;
  // Presents the back buffer through the palette.
  virtual void Flip() = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual std::string Caption() const = 0;
  // Shows the still title picture instead of the display (the Menu scene), or the display.
  virtual void ShowTitleImage(bool show) = 0;
  // The game window itself: closing it runs the normal close path (settings written).
  virtual void CloseWindow() = 0;
  virtual void MinimizeWindow() = 0;
  virtual void RestoreWindow() = 0;
  // How the window shows the picture, which stays 640x480 whatever is chosen: enlarged
  // by a whole number in a window, or filling the screen with black bars around it.
  virtual void SetScreenSize(int /*windowScale*/, bool /*fullScreen*/) {}
  // The largest window scale that fits the screen comfortably (see FittingWindowScale).
  virtual int FittingWindowScale() const { return 1; }
};

// Raw joystick reading in the plain joystick interface's terms: axes run from AxisMin to
// AxisMax with the centre half way.
struct TJoystickState {
  int X = 0, Y = 0, Z = 0;
  int AxisMin = 0, AxisMax = 65535;
  uint32_t Buttons = 0;  // bit i: button i
};

class IInputDevice {
 public:
  virtual ~IInputDevice() = default;
  // Whether the game window is the foreground window.
  virtual bool IsForeground() const = 0;
  // Which Windows virtual-key codes are down now.
  virtual std::array<bool, 256> KeyboardState() const = 0;
  // The first joystick, or nothing when none is attached.
  virtual std::optional<TJoystickState> Joystick() = 0;
  // The player's gamepad inputs, which a device that knows what a gamepad's buttons mean
  // reads by; the others keep reporting raw buttons.
  virtual void SetPadBindings(const TKeyBindings& /*bindings*/) {}
};

// The "fmt " record of a RIFF wave.
struct TWaveFormat {
  uint16_t FormatTag = 1;
  uint16_t Channels = 1;
  uint32_t SamplesPerSec = 22050;
  uint32_t AvgBytesPerSec = 22050;
  uint16_t BlockAlign = 1;
  uint16_t BitsPerSample = 8;
  std::vector<uint8_t> Extra;
};

// The samples of a wave in their file's own format, read-only. Copies share the bytes: a
// music file is held once, by its wave list and by every sound buffer made from it alike,
// and a tune may stay in its file until it is first wanted.
class TWaveSamples {
 public:
  using value_type = uint8_t;
  using const_iterator = const uint8_t*;
  using iterator = const_iterator;

  // Bytes fetched when first wanted. Fetch may be called from any thread, and more than
  // once; it always gives the same bytes, of the size the samples were made with.
  class TSource {
   public:
    virtual ~TSource() = default;
    virtual std::span<const uint8_t> Fetch() const = 0;
  };

  TWaveSamples() = default;
  // Bytes of its own.
  explicit TWaveSamples(std::vector<uint8_t> bytes)
      : TWaveSamples(std::make_shared<const std::vector<uint8_t>>(std::move(bytes))) {}
  // A part of bytes that `owner` keeps alive.
  TWaveSamples(std::shared_ptr<const void> owner, std::span<const uint8_t> bytes)
      : Owner_(std::move(owner)), Bytes_(bytes), Size_(bytes.size()) {}
  // `size` bytes that `source` fetches.
  TWaveSamples(std::shared_ptr<const TSource> source, size_t size)
      : Source_(std::move(source)), Size_(size) {}

  size_t size() const { return Size_; }
  bool empty() const { return Size_ == 0; }
  // These fetch the bytes of samples made from a source.
  std::span<const uint8_t> Bytes() const { return Source_ ? Source_->Fetch() : Bytes_; }
  const uint8_t* data() const { return Bytes().data(); }
  const_iterator begin() const { return data(); }
  const_iterator end() const { return data() + Size_; }
  uint8_t operator[](size_t i) const { return Bytes()[i]; }

  friend bool operator==(const TWaveSamples& a, const std::vector<uint8_t>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }

 private:
  explicit TWaveSamples(std::shared_ptr<const std::vector<uint8_t>> bytes)
      : Owner_(bytes), Bytes_(*bytes), Size_(bytes->size()) {}

  std::shared_ptr<const void> Owner_;
  std::span<const uint8_t> Bytes_;
  std::shared_ptr<const TSource> Source_;
  size_t Size_ = 0;
};

using TSoundBuffer = int;  // a handle; 0 is no buffer

class ISoundDevice {
 public:
  virtual ~ISoundDevice() = default;
  // Returns false (and leaves the device off) when there is no usable sound device;
  // LastError() then says why.
  virtual bool Initialize() = 0;
  virtual void Finalize() = 0;
  virtual bool Initialized() const = 0;
  virtual std::string LastError() const = 0;
  // A buffer made from PCM samples, which it may keep sharing rather than copy; throws
  // when the format cannot be played.
  virtual TSoundBuffer CreateBuffer(const TWaveFormat& format, const TWaveSamples& samples) = 0;
  // A copy sharing the samples of an existing buffer.
  virtual TSoundBuffer Duplicate(TSoundBuffer buffer) = 0;
  virtual void Release(TSoundBuffer buffer) = 0;
  // Stops the buffer, rewinds it and plays it from the start.
  virtual void Play(TSoundBuffer buffer, bool looped) = 0;
  virtual void Stop(TSoundBuffer buffer) = 0;
  virtual bool IsPlaying(TSoundBuffer buffer) const = 0;
  // Hundredths of a decibel: 0 full, -10000 silent.
  virtual void SetVolume(TSoundBuffer buffer, int volume) = 0;
};

enum class TMessageKind { Information, Warning, Error, Confirmation };
// YesNoDefaultNo is for questions whose Yes destroys something: No is then the default
// button, so Enter, Space and Escape all keep what is there.
enum class TMessageButtons { OK, OKIgnore, YesNo, YesNoDefaultNo };
enum class TMessageResult { OK, Ignore, Yes, No, Cancel };

class IDialogs {
 public:
  virtual ~IDialogs() = default;
  virtual TMessageResult MessageBox(TMessageKind kind, const std::string& caption,
                                    const std::string& text, TMessageButtons buttons) = 0;
  // The entered text, or nothing when cancelled.
  virtual std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                              const std::string& initial) = 0;
  // The chosen path, or nothing when cancelled. filter: e.g. "Mission files (*.omf)".
  virtual std::optional<std::string> OpenFile(const std::string& title,
                                              const std::string& filter) = 0;
  // キー設定: lets the player change the bindings; false (unchanged) when cancelled or
  // when the machine has no such dialog.
  virtual bool EditKeyBindings(TKeyBindings& /*bindings*/) { return false; }
  // 戦績: the player's records; the replay the player chose to watch (リプレイを見る), or
  // nothing when the window was closed or the machine has no such window.
  virtual std::optional<std::string> ShowRecords(const TRecordsView& /*view*/) {
    return std::nullopt;
  }
};

class ISystem {
 public:
  virtual ~ISystem() = default;
  // Milliseconds since some fixed moment; wraps at 2^32.
  virtual uint32_t TickCount() = 0;
  // Blocks the whole program.
  virtual void Sleep(uint32_t ms) = 0;
  // The current date and time as the user reads them.
  virtual std::string DateTimeText() = 0;
  virtual std::string ComputerName() = 0;
  // Where the settings, music, help and error log live (ends without a slash).
  virtual std::string ProgramFolder() = 0;
  // Where the music files and the help file are found (ends without a slash): beside the
  // program, which may differ from a read-only install's settings folder.
  virtual std::string DataFolder() = 0;
  virtual void OpenUrl(const std::string& url) = 0;
  virtual void ShowHelp(const std::string& file) = 0;
};

// Everything the core needs of the machine, handed to the main form.
struct TPlatform {
  IDisplay& Display;
  IInputDevice& Input;
  ISoundDevice& Sound;
  IDialogs& Dialogs;
  ISystem& System;
  IRankingDialog& RankingDialog;
  IRankingTransport& RankingTransport;
};

}  // namespace velmora
