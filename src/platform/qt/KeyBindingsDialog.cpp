// キー設定: one row per action, three key fields and a gamepad field each.
#include "platform/qt/KeyBindingsDialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtInput.h"
#include "platform/sdl/SdlJoystick.h"

namespace velmora {

namespace {

constexpr int kPadPollMs = 30;

const char* const kIdleHint =
    "欄をクリックしてから、割り当てるキー（ゲームパッドの欄ではボタン）を押してください。"
    "右クリックでその欄を空にします。";

QString Quoted(const std::string& text) {
  return "「" + QString::fromStdString(text) + "」";
}

}  // namespace

TKeyBindingsDialog::TKeyBindingsDialog(QWidget* parent, const TKeyBindings& bindings,
                                       TSdlJoystick* stick)
    : QDialog(parent), Bindings_(bindings), Stick_(stick) {
  setWindowTitle("キー設定");
  auto* grid = new QGridLayout;
  const char* const kHeads[] = {"操作", "キー1", "キー2", "キー3", "ゲームパッド"};
  for (int column = 0; column < 5; ++column)
    grid->addWidget(new QLabel(kHeads[column]), 0, column, Qt::AlignCenter);
  auto makeField = [this](QPushButton*& field) {
    field = new QPushButton;
    field->setMinimumWidth(110);
    field->setAutoDefault(false);
    field->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(field, &QPushButton::clicked, this, [this, field] { Wait(field); });
    connect(field, &QWidget::customContextMenuRequested, this,
            [this, field] { ClearField(field); });
  };
  for (int action = 0; action < kKeyActionCount; ++action) {
    grid->addWidget(new QLabel(ActionTitle(action)), action + 1, 0);
    for (int slot = 0; slot < kKeysPerAction; ++slot) {
      makeField(KeyFields_[action][slot]);
      grid->addWidget(KeyFields_[action][slot], action + 1, slot + 1);
    }
    makeField(PadFields_[action]);
    grid->addWidget(PadFields_[action], action + 1, 4);
  }

  Hint_ = new QLabel;
  Hint_->setWordWrap(true);
  auto* fixed = new QLabel(
      "Esc（一時停止中の作戦中止）、F1（ヘルプ）、F11・Alt+Enter（全画面）、Ctrl+F はいつでも"
      "使えます。文字の画面は、ほかの操作に割り当てていなければ Space と Enter でも進みます。");
  fixed->setWordWrap(true);

  DefaultsButton_ = new QPushButton("初期設定に戻す");
  OkButton_ = new QPushButton(JapaneseButtonText(QMessageBox::Ok));
  auto* cancel = new QPushButton(JapaneseButtonText(QMessageBox::Cancel));
  DefaultsButton_->setAutoDefault(false);
  cancel->setAutoDefault(false);
  OkButton_->setDefault(true);
  connect(DefaultsButton_, &QPushButton::clicked, this, [this] {
    StopWaiting();
    Bindings_ = TKeyBindings::Defaults();
    Refresh();
  });
  connect(OkButton_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(DefaultsButton_);
  buttons->addStretch();
  buttons->addWidget(OkButton_);
  buttons->addWidget(cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(Hint_);
  layout->addWidget(fixed);
  layout->addLayout(buttons);

  AskSwap = [this](const QString& question) {
    QMessageBox box(QMessageBox::Question, windowTitle(), question, QMessageBox::NoButton, this);
    QPushButton* swap = box.addButton("入れ替える", QMessageBox::AcceptRole);
    box.addButton(JapaneseButtonText(QMessageBox::Cancel), QMessageBox::RejectRole);
    // Cancelling changes nothing, so it is the safe answer to Enter.
    box.setDefaultButton(qobject_cast<QPushButton*>(box.buttons().last()));
    box.exec();
    return box.clickedButton() == swap;
  };
  Refuse = [this](const QString& why) {
    QMessageBox box(QMessageBox::Warning, windowTitle(), why, QMessageBox::Ok, this);
    SetJapaneseButtonTexts(box);
    box.exec();
  };

  PadTimer_.setInterval(kPadPollMs);
  connect(&PadTimer_, &QTimer::timeout, this, &TKeyBindingsDialog::PollPad);
  // Keys reach the waiting field whichever widget has the focus, before any button can
  // take Space or Enter as a click.
  qApp->installEventFilter(this);
  Refresh();
}

TKeyBindingsDialog::~TKeyBindingsDialog() {
  qApp->removeEventFilter(this);
}

void TKeyBindingsDialog::Refresh() {
  for (int action = 0; action < kKeyActionCount; ++action) {
    for (int slot = 0; slot < kKeysPerAction; ++slot)
      KeyFields_[action][slot]->setText(
          QString::fromStdString(KeyName(Bindings_.Keys[action][slot])));
    PadFields_[action]->setText(QString::fromStdString(FormatPad(Bindings_.Pad[action])));
  }
  Hint_->setText(kIdleHint);
}

void TKeyBindingsDialog::Wait(QPushButton* field) {
  StopWaiting();
  Waiting_ = field;
  const bool pad = std::find(PadFields_.begin(), PadFields_.end(), field) != PadFields_.end();
  field->setText(pad ? "ボタンを押す…" : "キーを押す…");
  Hint_->setText(
      pad ? "ゲームパッドのボタンを押すか、スティックを倒してください。Esc で取り消します。"
          : "割り当てるキーを押してください。Esc で取り消します。");
  if (pad) {
    PadArmed_ = Stick_ == nullptr || !Stick_->PressedInput().has_value();
    if (Stick_ != nullptr) PadTimer_.start();
  }
}

void TKeyBindingsDialog::StopWaiting() {
  Waiting_ = nullptr;
  PadTimer_.stop();
  Refresh();
}

void TKeyBindingsDialog::PollPad() {
  if (Stick_ == nullptr) return;
  const std::optional<TPadInput> input = Stick_->PressedInput();
  if (!input) {
    PadArmed_ = true;
  } else if (PadArmed_) {
    TakePad(*input);
  }
}

void TKeyBindingsDialog::TakeKey(int vk) {
  QPushButton* field = Waiting_;
  if (field == nullptr) return;
  for (int action = 0; action < kKeyActionCount; ++action) {
    for (int slot = 0; slot < kKeysPerAction; ++slot) {
      if (KeyFields_[action][slot] != field) continue;
      const TBindQuery query = CheckKey(Bindings_, action, vk);
      StopWaiting();
      switch (query.Check) {
        case TBindCheck::Reserved:
          Refuse(Quoted(KeyName(vk)) + "はウィンドウが使うキーのため、割り当てられません。");
          return;
        case TBindCheck::Unnamed:
          Refuse("このキーは割り当てられません。");
          return;
        case TBindCheck::Conflict:
          if (!AskSwap(Quoted(KeyName(vk)) + "は" + Quoted(ActionTitle(query.Other)) +
                       "に割り当てられています。入れ替えますか？"))
            return;
          break;
        case TBindCheck::Free:
          break;
      }
      if (!BindKey(Bindings_, action, slot, vk))
        Refuse(Quoted(ActionTitle(query.Other)) +
               "のキーが一つもなくなるため、入れ替えられません。");
      Refresh();
      return;
    }
  }
}

void TKeyBindingsDialog::TakePad(TPadInput input) {
  QPushButton* field = Waiting_;
  if (field == nullptr) return;
  for (int action = 0; action < kKeyActionCount; ++action) {
    if (PadFields_[action] != field) continue;
    StopWaiting();
    const int other = Bindings_.ActionOfPad(input);
    if (other >= 0 && other != action &&
        !AskSwap(Quoted(PadInputName(input)) + "は" + Quoted(ActionTitle(other)) +
                 "に割り当てられています。入れ替えますか？"))
      return;
    BindPad(Bindings_, action, input);
    Refresh();
    return;
  }
}

void TKeyBindingsDialog::ClearField(QPushButton* field) {
  StopWaiting();
  for (int action = 0; action < kKeyActionCount; ++action) {
    if (PadFields_[action] == field) ClearPad(Bindings_, action);
    for (int slot = 0; slot < kKeysPerAction; ++slot) {
      if (KeyFields_[action][slot] != field || Bindings_.Keys[action][slot] == 0) continue;
      if (!ClearKey(Bindings_, action, slot))
        Refuse(Quoted(ActionTitle(action)) + "にはキーが一つは必要です。");
    }
  }
  Refresh();
}

bool TKeyBindingsDialog::eventFilter(QObject* watched, QEvent* event) {
  // Only keys meant for this dialog: not those of a question it asks, nor of other windows.
  const auto* widget = qobject_cast<QWidget*>(watched);
  if (Waiting_ == nullptr || widget == nullptr || widget->window() != this)
    return QDialog::eventFilter(watched, event);
  const QEvent::Type type = event->type();
  if (type == QEvent::ShortcutOverride) {
    // Claimed, so no shortcut of the menu (F1, Ctrl+F ...) fires while a field waits.
    event->accept();
    return true;
  }
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease) {
    return QDialog::eventFilter(watched, event);
  }
  auto& key = static_cast<QKeyEvent&>(*event);
  if (type == QEvent::KeyPress && !key.isAutoRepeat()) {
    const int vk = GenericVirtualKey(VirtualKeyFromEvent(key));
    const bool pad = std::find(PadFields_.begin(), PadFields_.end(), Waiting_) != PadFields_.end();
    if (vk == 0x1B) {
      StopWaiting();
    } else if (!pad && vk != 0) {
      TakeKey(vk);
    }
  }
  return true;
}

}  // namespace velmora
