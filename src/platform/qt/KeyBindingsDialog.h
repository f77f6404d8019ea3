// キー設定: the dialog in which the player gives each action its keys and gamepad input.
#pragma once

#include <QDialog>
#include <QTimer>

#include <array>
#include <functional>
#include <optional>

#include "engine/KeyBindings.h"

class QLabel;
class QPushButton;

namespace velmora {

class TSdlJoystick;

class TKeyBindingsDialog : public QDialog {
  Q_OBJECT

 public:
  // The stick, when given, is watched for a pad field's button.
  TKeyBindingsDialog(QWidget* parent, const TKeyBindings& bindings, TSdlJoystick* stick);
  ~TKeyBindingsDialog() override;

  const TKeyBindings& Bindings() const { return Bindings_; }

  // The key fields (action, slot 0 ... 2) and pad fields (action); clicking one waits for
  // a key or a button, a right click empties it.
  QPushButton* KeyField(int action, int slot) const { return KeyFields_[action][slot]; }
  QPushButton* PadField(int action) const { return PadFields_[action]; }
  QPushButton* DefaultsButton() const { return DefaultsButton_; }
  QPushButton* OkButton() const { return OkButton_; }

  // A key or pad input for the field that waits, as if pressed.
  void TakeKey(int vk);
  void TakePad(TPadInput input);
  void ClearField(QPushButton* field);

  // Asks whether to swap (true) or leave things as they were; a message box unless
  // replaced (tests answer it themselves).
  std::function<bool(const QString& question)> AskSwap;
  // Says why a choice cannot be made.
  std::function<void(const QString& why)> Refuse;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Wait(QPushButton* field);
  void StopWaiting();
  void Refresh();
  void PollPad();

  TKeyBindings Bindings_;
  TSdlJoystick* Stick_;
  std::array<std::array<QPushButton*, kKeysPerAction>, kKeyActionCount> KeyFields_{};
  std::array<QPushButton*, kKeyActionCount> PadFields_{};
  QPushButton* DefaultsButton_ = nullptr;
  QPushButton* OkButton_ = nullptr;
  QLabel* Hint_ = nullptr;
  QPushButton* Waiting_ = nullptr;
  QTimer PadTimer_;
  // A pad input already held when the field began to wait counts only once let go.
  bool PadArmed_ = false;
};

}  // namespace velmora
