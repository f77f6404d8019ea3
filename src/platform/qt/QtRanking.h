// The ranking submission dialog, the wait window and the connection that carries the
// request, on Qt Widgets and Qt Network.
#pragma once

#include <QDialog>

#include "platform/Ranking.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora {

// TRnkSubmitForm's window: a fixed 413x329 black dialog.
class TRnkSubmitDialog : public QDialog, public IRankingDialog {
 public:
  explicit TRnkSubmitDialog(QWidget* parent = nullptr);
  void ShowModal(TRnkSubmitForm& form) override;
  void SetBusy(bool busy) override;

  QLabel* Label5;  // the heading the main window sets
  QLabel* Label4;  // the total being sent
  QLineEdit* NameEdit;
  QLineEdit* MailEdit;
  QLineEdit* HitokotoEdit;  // the player's short comment
  QPushButton* SubmitBtn;
  QPushButton* CancelBtn;

 protected:
  void reject() override;

 private:
  // The edits to the form before a handler, the form to the edits after it.
  void ToForm();
  void FromForm();
  void SubmitBtnClick();
  TRnkSubmitForm* Form_ = nullptr;
};

// TWaitForm: shown, not modal, while a request runs.
class TWaitForm : public QDialog {
 public:
  explicit TWaitForm(QWidget* parent = nullptr);
  QPushButton* WaitAbort;

 protected:
  // Only the abort button ends the wait; Escape and the close button do nothing.
  void reject() override {}
};

class TQtRankingTransport : public IRankingTransport {
 public:
  explicit TQtRankingTransport(TWaitForm& wait) : Wait_(wait) {}
  TExchange Exchange(const TEndpoint& endpoint, const std::string& request, size_t limit) override;

 private:
  TWaitForm& Wait_;
};

}  // namespace velmora
