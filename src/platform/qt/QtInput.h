// Keyboard state in Windows virtual-key codes, kept from the game window's key events,
// and the SDL joystick.
#pragma once

#include <Qt>

#include <array>
#include <optional>

#include "platform/Platform.h"
#include "platform/sdl/SdlJoystick.h"

class QKeyEvent;
class QWidget;

namespace velmora {

// The virtual-key code of a Qt key event, or 0 when the key has none. The physical key
// counts, not the character, so a shifted digit still reads as its digit.
int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeVirtualKey);
int VirtualKeyFromEvent(const QKeyEvent& event);
// Window key messages name a modifier without its side: left/right Shift, Ctrl and Alt
// become VK_SHIFT, VK_CONTROL and VK_MENU.
inline int GenericVirtualKey(int vk) {
  return vk >= 0xA0 && vk <= 0xA5 ? 0x10 + (vk - 0xA0) / 2 : vk;
}

class TQtInput : public IInputDevice {
 public:
  TQtInput() = default;

  void SetWindow(QWidget* window) { Window_ = window; }
  // Updates the key table from a key press or release; auto-repeats are ignored.
  // Returns the virtual-key code concerned, or 0 when the event changed nothing.
  int HandleKeyEvent(const QKeyEvent& event);
  void SetKey(int vk, bool down);
  // Forgets every key: the releases of keys let go while another window has the focus
  // never arrive.
  void ReleaseAll() {
    Keys_.fill(false);
    Tapped_.fill(false);
  }

  bool IsForeground() const override;
  // A key tapped and released between two reads still shows as down once, so a quick
  // tap is never lost between frames.
  std::array<bool, 256> KeyboardState() const override;
  std::optional<TJoystickState> Joystick() override { return Joystick_.Read(); }
  void SetPadBindings(const TKeyBindings& bindings) override { Joystick_.SetBindings(bindings); }
  TSdlJoystick& Stick() { return Joystick_; }

 private:
  QWidget* Window_ = nullptr;
  std::array<bool, 256> Keys_{};
  mutable std::array<bool, 256> Tapped_{};
  TSdlJoystick Joystick_;
};

}  // namespace velmora
