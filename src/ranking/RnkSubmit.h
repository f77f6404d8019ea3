// The ranking submission: the form behind the dialog, the request it sends and the checks
// the ranking server makes on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Platform.h"
#include "platform/Ranking.h"
#include "ranking/CSVStringInfo.h"

namespace velmora {

// The edit fields' limits, in characters.
constexpr int kNameMaxLength = 20;
constexpr int kMailMaxLength = 40;
constexpr int kHitokotoMaxLength = 20;
// How much of a reply's body is read; the rest is dropped.
constexpr size_t kReplyLimit = 64 * 1024;
// Room for the status line and headers on top of the body.
constexpr size_t kReplyHeadLimit = 16 * 1024;

// Form escaping of wire bytes: a space becomes "+", ASCII letters and the four bytes a form
// decoder would otherwise read as syntax ("%", "+", "&", "=") become "%XX"; every other byte
// passes as it is, and so does each two-byte Shift-JIS character whole.
std::string EscapeFormValue(std::string_view bytes);
// Every "&" becomes the full-width "＆" (Shift-JIS bytes).
std::string MaskAmpersand(std::string_view bytes);
// The usual form decoding: "+" is a space, "%XX" a byte; a stray "%" stays as it is.
std::string DecodeFormValue(std::string_view value);
// "a=1&b=2" as name/value pairs in order, both decoded.
std::vector<std::pair<std::string, std::string>> DecodeFormBody(std::string_view body);

// The scrambled computer name and "@N@N@N@N"; "ERROR" when anything fails on the way.
std::string MachineInfo(ISystem& system);
// The check field for a total: the secret, the total and "B", scrambled twice.
std::string RankingCheckText(int32_t totalScore, ISystem& system);
// The server's side of the check: whether code is a check field made for this score text.
bool RankingCheckMatches(std::string_view code, std::string_view score);
// The ranking server built into this copy of the game (empty: none), unless the settings
// name another.
std::string DefaultEndpointURL();
// What the submission dialog says when no ranking server is known, before it asks for one.
constexpr const char* kNoServerText =
    "ランキングサーバーが設定されていません。\n\n"
    "このゲームにはランキングサーバーのアドレスが組み込まれていません。"
    "参加するランキングのサーバーのアドレス（例　http://ranking.example.org:8080/submit）を"
    "次の画面で入力すると、そこへ送信します。\n"
    "入力したアドレスは保存され、メニューの「オプション」→「ランキングサーバー…」で"
    "いつでも変えられます。";
// Asks the server behind a submission address whether it is up (its /healthz); the text
// to show the player, and whether it answered.
std::pair<bool, std::string> TestRankingServer(const std::string& url,
                                               IRankingTransport& transport);
// "http://host[:port]/path" or "https://..."; nothing when the address is not one of these.
std::optional<TEndpoint> ParseEndpoint(std::string_view url);

// The form body, its fields in the server's order; name, mail and comment are wire bytes.
std::string RankingRequestBody(std::string_view name, std::string_view mail,
                               std::string_view comment, int32_t totalScore, ISystem& system);
// The whole HTTP/1.0 POST, headers in their fixed order.
std::string RankingRequest(const TEndpoint& endpoint, std::string_view body);

// What the exchange left for the reply interpreter: the body's lines, or one error line
// when the exchange failed (a status of 400 or more is a failure too).
std::vector<std::string> ReplyLinesOf(const TExchange& exchange);

enum class TModalResult { None, OK, Cancel };

// The submission dialog's state and handlers; the platform's dialog shows it.
class TRnkSubmitForm {
 public:
  TRnkSubmitForm(TPlatform& platform, IRankingDialog& dialog, IRankingTransport& transport,
                 const int32_t& totalScore);

  // The dialog opens for a new submission: an empty comment, no result yet.
  void FormShow();
  // The total being sent, as its label shows it.
  std::string Label4() const { return std::to_string(TotalScore_); }
  void SubmitBtnClick();
  void CancelBtnClick() { ModalResult = TModalResult::Cancel; }
  void PostRanking();

  std::string Label5;  // the heading the main window sets
  std::string NameEdit;
  std::string MailEdit;
  std::string HitokotoEdit;
  std::string EndpointURL;
  TModalResult ModalResult = TModalResult::None;
  TCSVStringInfo CSVStrInfo_Web;

 private:
  TPlatform& Platform_;
  IRankingDialog& Dialog_;
  IRankingTransport& Transport_;
  const int32_t& TotalScore_;
  // The edits' texts as wire bytes, made when the player presses 送信.
  std::string Name_, Mail_, Hitokoto_;
};

}  // namespace velmora
