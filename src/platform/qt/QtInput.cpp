#include "platform/qt/QtInput.h"

#include <QKeyEvent>
#include <QWidget>

namespace velmora {

namespace {

// Windows virtual-key codes the table below needs by name.
constexpr int kShift = 0x10, kControl = 0x11, kMenu = 0x12;
constexpr int kLShift = 0xA0, kRShift = 0xA1, kLControl = 0xA2, kRControl = 0xA3;
constexpr int kLMenu = 0xA4, kRMenu = 0xA5, kLWin = 0x5B, kRWin = 0x5C;

// X keysyms of the right-hand modifier keys: Qt reports both sides as one key.
constexpr quint32 kXkShiftR = 0xffe2, kXkControlR = 0xffe4, kXkAltR = 0xffea, kXkSuperR = 0xffec;

int KeypadKey(int key) {
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return 0x60 + (key - Qt::Key_0);
  switch (key) {
    case Qt::Key_Asterisk:
      return 0x6A;
    case Qt::Key_Plus:
      return 0x6B;
    case Qt::Key_Minus:
      return 0x6D;
    case Qt::Key_Period:
    case Qt::Key_Comma:
      return 0x6E;
    case Qt::Key_Slash:
      return 0x6F;
    case Qt::Key_Clear:
      return 0x0C;
    default:
      return 0;
  }
}

// Symbols that a shifted key of the main block produces (US layout), by the key's own
// virtual-key code, so that releasing a key after Shift changed still finds it.
int SymbolKey(int key) {
  switch (key) {
    case Qt::Key_Exclam:
      return '1';
    case Qt::Key_At:
      return '2';
    case Qt::Key_NumberSign:
      return '3';
    case Qt::Key_Dollar:
      return '4';
    case Qt::Key_Percent:
      return '5';
    case Qt::Key_AsciiCircum:
      return '6';
    case Qt::Key_Ampersand:
      return '7';
    case Qt::Key_Asterisk:
      return '8';
    case Qt::Key_ParenLeft:
      return '9';
    case Qt::Key_ParenRight:
      return '0';
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
      return 0xBA;
    case Qt::Key_Equal:
    case Qt::Key_Plus:
      return 0xBB;
    case Qt::Key_Comma:
    case Qt::Key_Less:
      return 0xBC;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
      return 0xBD;
    case Qt::Key_Period:
    case Qt::Key_Greater:
      return 0xBE;
    case Qt::Key_Slash:
    case Qt::Key_Question:
      return 0xBF;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
      return 0xC0;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
      return 0xDB;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
      return 0xDC;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
      return 0xDD;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
      return 0xDE;
    default:
      return 0;
  }
}

}  // namespace

int VirtualKeyFromQt(int key, Qt::KeyboardModifiers modifiers, quint32 nativeVirtualKey) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 0x70 + (key - Qt::Key_F1);
  if (modifiers.testFlag(Qt::KeypadModifier)) {
    if (int vk = KeypadKey(key); vk != 0) return vk;
  }
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
  switch (key) {
    case Qt::Key_Backspace:
      return 0x08;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return 0x09;
    case Qt::Key_Clear:
      return 0x0C;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 0x0D;
    case Qt::Key_Shift:
      return nativeVirtualKey == kXkShiftR ? kRShift : kLShift;
    case Qt::Key_Control:
      return nativeVirtualKey == kXkControlR ? kRControl : kLControl;
    case Qt::Key_Alt:
      return nativeVirtualKey == kXkAltR ? kRMenu : kLMenu;
    case Qt::Key_AltGr:
      return kRMenu;
    case Qt::Key_Pause:
      return 0x13;
    case Qt::Key_CapsLock:
      return 0x14;
    case Qt::Key_Escape:
      return 0x1B;
    case Qt::Key_Henkan:
      return 0x1C;
    case Qt::Key_Muhenkan:
      return 0x1D;
    case Qt::Key_Space:
      return 0x20;
    case Qt::Key_PageUp:
      return 0x21;
    case Qt::Key_PageDown:
      return 0x22;
    case Qt::Key_End:
      return 0x23;
    case Qt::Key_Home:
      return 0x24;
    case Qt::Key_Left:
      return 0x25;
    case Qt::Key_Up:
      return 0x26;
    case Qt::Key_Right:
      return 0x27;
    case Qt::Key_Down:
      return 0x28;
    case Qt::Key_Print:
      return 0x2C;
    case Qt::Key_Insert:
      return 0x2D;
    case Qt::Key_Delete:
      return 0x2E;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
      return nativeVirtualKey == kXkSuperR ? kRWin : kLWin;
    case Qt::Key_Menu:
      return 0x5D;
    case Qt::Key_NumLock:
      return 0x90;
    case Qt::Key_ScrollLock:
      return 0x91;
    default:
      return SymbolKey(key);
  }
}

int VirtualKeyFromEvent(const QKeyEvent& event) {
  return VirtualKeyFromQt(event.key(), event.modifiers(), event.nativeVirtualKey());
}

int TQtInput::HandleKeyEvent(const QKeyEvent& event) {
  if (event.isAutoRepeat()) return 0;
  const int vk = VirtualKeyFromEvent(event);
  if (vk == 0) return 0;
  SetKey(vk, event.type() == QEvent::KeyPress);
  return vk;
}

std::array<bool, 256> TQtInput::KeyboardState() const {
  std::array<bool, 256> state = Keys_;
  for (size_t i = 0; i < state.size(); ++i)
    state[i] = state[i] || Tapped_[i];
  Tapped_.fill(false);
  return state;
}

void TQtInput::SetKey(int vk, bool down) {
  if (vk <= 0 || vk > 255) return;
  Keys_[vk] = down;
  if (down) Tapped_[vk] = true;
  // As on Windows, the generic modifier code is down while either side is.
  Keys_[kShift] = Keys_[kLShift] || Keys_[kRShift];
  Keys_[kControl] = Keys_[kLControl] || Keys_[kRControl];
  Keys_[kMenu] = Keys_[kLMenu] || Keys_[kRMenu];
}

bool TQtInput::IsForeground() const {
  return Window_ != nullptr && Window_->isActiveWindow();
}

}  // namespace velmora
