// The machine without a display, keyboard or sound card: for tests, benchmarks and the
// headless runner. Time is virtual: Sleep advances the clock at once.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/headless/HeadlessRanking.h"
#include "platform/headless/HeadlessSound.h"

namespace velmora {

class THeadlessSystem : public ISystem {
 public:
  uint32_t TickCount() override { return Now; }
  void Sleep(uint32_t ms) override {
    Now += ms;
    Slept += ms;
  }
  std::string DateTimeText() override { return DateTime; }
  std::string ComputerName() override { return Computer; }
  std::string ProgramFolder() override { return Folder; }
  std::string DataFolder() override { return Data; }
  void OpenUrl(const std::string& url) override { OpenedUrls.push_back(url); }
  void ShowHelp(const std::string& file) override { ShownHelp.push_back(file); }

  uint32_t Now = 1000;
  uint64_t Slept = 0;
  std::string DateTime = "2026/01/01 0:00:00";
  std::string Computer = "HEADLESS";
  std::string Folder = ".";
  // The build's own folder, where the music is composed and the help file copied.
  std::string Data = VELMORA_DEFAULT_DATA_DIR;
  std::vector<std::string> OpenedUrls;
  std::vector<std::string> ShownHelp;
};

class THeadlessDisplay : public IDisplay {
 public:
  bool Initialized() const override { return Initialized_; }
  bool Initialize() override;
  void Finalize() override { Initialized_ = false; }
  bool CanDraw() const override { return Initialized_ && !Lost; }
  TSurface& BackBuffer() override { return BackBuffer_; }
  void SetPalette(const TPalette& palette) override { Palette_ = palette; }
  const TPalette& Palette() const override { return Palette_; }
  void Flip() override { ++Flips; }
  void SetCaption(const std::string& caption) override { Caption_ = caption; }
  std::string Caption() const override { return Caption_; }
  void ShowTitleImage(bool show) override { TitleImageShown = show; }
  void CloseWindow() override { CloseRequested = true; }
  void MinimizeWindow() override { Minimized = true; }
  void RestoreWindow() override { Minimized = false; }
  void SetScreenSize(int windowScale, bool fullScreen) override {
    WindowScale = windowScale;
    FullScreen = fullScreen;
  }
  int FittingWindowScale() const override { return FittingScale; }

  bool Lost = false;  // surfaces lost: nothing can be drawn
  bool TitleImageShown = false;
  bool CloseRequested = false;
  bool Minimized = false;
  int Flips = 0;
  int Resets = 0;
  // As on a 1920x1080 screen.
  int FittingScale = 2;
  int WindowScale = 1;
  bool FullScreen = false;

 private:
  bool Initialized_ = false;
  TSurface BackBuffer_;
  TPalette Palette_{};
  std::string Caption_ = "Velmora";
};

class THeadlessInput : public IInputDevice {
 public:
  bool IsForeground() const override { return Foreground; }
  std::array<bool, 256> KeyboardState() const override { return Keys; }
  std::optional<TJoystickState> Joystick() override { return Stick; }

  bool Foreground = true;
  std::array<bool, 256> Keys{};
  std::optional<TJoystickState> Stick;
};

// Answers dialogs from a script and records each one.
class THeadlessDialogs : public IDialogs {
 public:
  struct TRecord {
    std::string Kind;
    std::string Caption;
    std::string Text;
    std::string Answer;
    // A question whose Yes destroys something: its default button is No.
    bool DefaultNo = false;
  };

  TMessageResult MessageBox(TMessageKind kind, const std::string& caption, const std::string& text,
                            TMessageButtons buttons) override;
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& initial) override;
  std::optional<std::string> OpenFile(const std::string& title, const std::string& filter) override;
  // "keys:Fire=A;PadFire=X" changes those lines of [Keys] and answers OK; anything else
  // (or no answer) cancels.
  bool EditKeyBindings(TKeyBindings& bindings) override;
  // "watch:N" watches the N-th row with a replay (numbered as the text shows them); anything
  // else closes the window. The log's text is the records as text.
  std::optional<std::string> ShowRecords(const TRecordsView& view) override;

  // Answers in order: "yes", "no", "ok", "ignore", "cancel", "text:ABC", "file:PATH",
  // "keys:...", "watch:N". A message box without its answer (the list has run out, or holds another
  // word) takes its default button, as Enter would: OK, Yes, and No where Yes destroys
  // something, so a script never wipes a campaign it did not say "yes" to.
  std::deque<std::string> Answers;
  std::vector<TRecord> Log;
  // Called for each dialog as it is answered (the runner prints them).
  std::function<void(const TRecord&)> OnDialog;

  // The next answer when it starts with prefix (taken from the list), else nothing.
  std::optional<std::string> TakeAnswer(const std::string& prefix);
  void Record(TRecord record);

 private:
  std::string NextAnswer();
};

// One whole headless machine, wired as the core expects it.
struct THeadlessMachine {
  THeadlessSystem System;
  THeadlessDisplay Display;
  THeadlessInput Input;
  THeadlessSound Sound{System};
  THeadlessDialogs Dialogs;
  THeadlessRankingDialog RankingDialog{Dialogs};
  THeadlessRankingTransport RankingTransport;
  TPlatform Platform{Display, Input, Sound, Dialogs, System, RankingDialog, RankingTransport};
};

// Writes the back buffer through the palette as a PNG (or the title still while it is
// shown). Throws std::runtime_error when the file cannot be written.
void SaveScreenshot(THeadlessDisplay& display, const std::string& path);

}  // namespace velmora
