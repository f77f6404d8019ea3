// The ranking dialog answered from the runner's script, and a plain socket client for the
// request, so tests and the runner can talk to a ranking server on this machine.
#pragma once

#include <functional>
#include <string>

#include "platform/Ranking.h"

namespace velmora {

class THeadlessDialogs;

// Takes "rank:NAME|MAIL|COMMENT" (fills the fields and presses 送信) or "rank:cancel"
// (presses 中止) from the dialogs' answer list. When the next answer is no "rank:" item the
// dialog is cancelled and the answer left for the dialogs after it. The dialog stays open
// after a reply that does not close it, taking the next "rank:" item for another try.
class THeadlessRankingDialog : public IRankingDialog {
 public:
  explicit THeadlessRankingDialog(THeadlessDialogs& dialogs) : Dialogs_(dialogs) {}
  void ShowModal(TRnkSubmitForm& form) override;
  void SetBusy(bool busy) override {
    Busy = busy;
    if (busy) ++Exchanges;
  }

  bool Busy = false;
  int Exchanges = 0;

 private:
  THeadlessDialogs& Dialogs_;
};

class THeadlessRankingTransport : public IRankingTransport {
 public:
  TExchange Exchange(const TEndpoint& endpoint, const std::string& request, size_t limit) override;

  // Asked every few milliseconds while the exchange waits: true presses the wait window's
  // abort button.
  std::function<bool()> AbortRequested;
};

}  // namespace velmora
