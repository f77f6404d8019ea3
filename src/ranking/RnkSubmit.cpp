#include "ranking/RnkSubmit.h"

#include <charconv>
#include <cstdlib>
#include <stdexcept>

#include "engine/Encoding.h"
#include "engine/Scrambler.h"
#include "ranking/ReplyCommands.h"

namespace velmora {

namespace {

constexpr const char* kCaption = "Velmora";
// The secret of the check field, kept scrambled so that it does not read plainly in the
// program file.
constexpr const char* kStoredSecret = "lhjJfV60kVF";
// The ranking server this build sends to, chosen by whoever builds it (-DVELMORA_RANKING_URL);
// none by default, so no player's total goes to an address that cannot answer.
#ifndef VELMORA_RANKING_URL
#define VELMORA_RANKING_URL ""
#endif
constexpr size_t kComputerNameLength = 15;

bool IsAsciiLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Blanks in the sense of the edit fields: spaces and control characters.
std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
    text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
    text.remove_suffix(1);
  return text;
}

std::string Secret() {
  return UnscrambleText(kStoredSecret);
}

}  // namespace

std::string EscapeFormValue(std::string_view bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 3);
  for (size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (IsLeadByte(c) && i + 1 < bytes.size()) {
      // A Shift-JIS character passes whole: its second byte may look like a letter.
      out += bytes.substr(i, 2);
      ++i;
    } else if (c == ' ') {
      out += '+';
    } else if (IsAsciiLetter(c) || c == '%' || c == '+' || c == '&' || c == '=') {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string MaskAmpersand(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    if (c == '&')
      out += "\x81\x95";  // "＆" in Shift-JIS
    else
      out += c;
  }
  return out;
}

std::string DecodeFormValue(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '+') {
      out += ' ';
    } else if (c == '%' && i + 2 < value.size() && HexValue(value[i + 1]) >= 0 &&
               HexValue(value[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(value[i + 1]) * 16 + HexValue(value[i + 2]));
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

std::vector<std::pair<std::string, std::string>> DecodeFormBody(std::string_view body) {
  std::vector<std::pair<std::string, std::string>> fields;
  while (!body.empty()) {
    const size_t amp = body.find('&');
    const std::string_view pair = body.substr(0, amp);
    const size_t eq = pair.find('=');
    if (!pair.empty())
      fields.emplace_back(DecodeFormValue(pair.substr(0, eq)),
                          eq == std::string_view::npos ? "" : DecodeFormValue(pair.substr(eq + 1)));
    if (amp == std::string_view::npos) break;
    body.remove_prefix(amp + 1);
  }
  return fields;
}

std::string MachineInfo(ISystem& system) {
  try {
    std::string name = Utf8ToCp932(system.ComputerName());
    if (name.size() > kComputerNameLength) name.resize(kComputerNameLength);
    return ScrambleText(name, system) + "@N@N@N@N";
  } catch (const std::exception&) {
    return "ERROR";
  }
}

std::string RankingCheckText(int32_t totalScore, ISystem& system) {
  return ScrambleText(ScrambleText(Secret() + std::to_string(totalScore) + "B", system), system);
}

bool RankingCheckMatches(std::string_view code, std::string_view score) {
  try {
    return UnscrambleText(UnscrambleText(code)) == Secret() + std::string(score) + "B";
  } catch (const std::exception&) {
    return false;
  }
}

std::string DefaultEndpointURL() {
  return VELMORA_RANKING_URL;
}

std::optional<TEndpoint> ParseEndpoint(std::string_view url) {
  TEndpoint e;
  const size_t sep = url.find("://");
  if (sep == std::string_view::npos) return std::nullopt;
  std::string scheme(url.substr(0, sep));
  for (char& c : scheme)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (scheme == "https") {
    e.Tls = true;
    e.Port = 443;
  } else if (scheme != "http") {
    return std::nullopt;
  }
  std::string_view rest = url.substr(sep + 3);
  const size_t slash = rest.find('/');
  std::string_view authority = rest.substr(0, slash);
  e.Path = slash == std::string_view::npos ? "/" : std::string(rest.substr(slash));
  if (authority.find('@') != std::string_view::npos) return std::nullopt;
  // "[::1]:8080": the brackets keep the address's colons apart from the port's.
  size_t colon = std::string_view::npos;
  if (!authority.empty() && authority.front() == '[') {
    const size_t close = authority.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    e.Host = std::string(authority.substr(1, close - 1));
    if (close + 1 < authority.size()) {
      if (authority[close + 1] != ':') return std::nullopt;
      colon = close + 1;
    }
  } else {
    colon = authority.rfind(':');
    e.Host = std::string(authority.substr(0, colon));
  }
  if (colon != std::string_view::npos) {
    const std::string_view port = authority.substr(colon + 1);
    int value = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (port.empty() || error != std::errc() || end != port.data() + port.size() || value < 1 ||
        value > 65535)
      return std::nullopt;
    e.Port = value;
  }
  if (e.Host.empty()) return std::nullopt;
  for (char c : e.Host)
    if (static_cast<unsigned char>(c) <= ' ') return std::nullopt;
  return e;
}

std::string RankingRequestBody(std::string_view name, std::string_view mail,
                               std::string_view comment, int32_t totalScore, ISystem& system) {
  const std::string score = std::to_string(totalScore);
  return "name=" + EscapeFormValue(MaskAmpersand(name)) +
         "&mail=" + EscapeFormValue(MaskAmpersand(mail)) +
         "&hitokoto=" + EscapeFormValue(MaskAmpersand(comment)) +
         "&code=" + EscapeFormValue(RankingCheckText(totalScore, system)) +
         "&secinf=" + EscapeFormValue(MachineInfo(system)) +
         "&score=" + EscapeFormValue(MaskAmpersand(score));
}

std::string RankingRequest(const TEndpoint& endpoint, std::string_view body) {
  std::string host =
      endpoint.Host.find(':') != std::string::npos ? "[" + endpoint.Host + "]" : endpoint.Host;
  // The port is named only when it is not the scheme's own, as every server expects.
  if (endpoint.Port != (endpoint.Tls ? 443 : 80)) host += ":" + std::to_string(endpoint.Port);
  std::string request = "POST " + endpoint.Path + " HTTP/1.0\r\n";
  request += "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n";
  request += "Content-Type: application/x-www-form-urlencoded\r\n";
  request += "User-Agent: 40617283\r\n";
  request += "Host: " + host + "\r\n";
  request += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  request += "\r\n";
  request += body;
  return request;
}

std::vector<std::string> ReplyLinesOf(const TExchange& exchange) {
  const auto failure = [](const std::string& reason) {
    return std::vector<std::string>{"CMD_ERRMES,エラー : " + ReplyTextToUtf8(reason)};
  };
  if (!exchange.Ok) return failure(exchange.Error);
  const std::string& r = exchange.Response;
  const size_t lineEnd = r.find_first_of("\r\n");
  const std::string status = r.substr(0, lineEnd);
  // "HTTP/1.1 404 Not Found"
  if (status.rfind("HTTP/", 0) != 0 || status.size() < 12 || status[8] != ' ')
    return failure("no HTTP reply from the server");
  int code = 0;
  std::from_chars(status.data() + 9, status.data() + 12, code);
  if (code >= 400) {
    const std::string reason = status.size() > 13 ? status.substr(13) : std::to_string(code);
    return failure(reason);
  }
  // The body starts after the first empty line; a reply of headers alone has none.
  size_t bodyStart = r.size();
  if (const size_t at = r.find("\r\n\r\n"); at != std::string::npos) bodyStart = at + 4;
  if (const size_t at = r.find("\n\n"); at != std::string::npos && at + 2 < bodyStart)
    bodyStart = at + 2;
  std::string_view body = std::string_view(r).substr(bodyStart);
  if (body.size() > kReplyLimit) body = body.substr(0, kReplyLimit);
  std::vector<std::string> lines = SplitReplyLines(body);
  for (std::string& line : lines)
    line = ReplyTextToUtf8(line);
  return lines;
}

// ---- the form ------------------------------------------------------------------------

TRnkSubmitForm::TRnkSubmitForm(TPlatform& platform, IRankingDialog& dialog,
                               IRankingTransport& transport, const int32_t& totalScore)
    : Platform_(platform), Dialog_(dialog), Transport_(transport), TotalScore_(totalScore) {}

void TRnkSubmitForm::FormShow() {
  HitokotoEdit.clear();
  ModalResult = TModalResult::None;
}

void TRnkSubmitForm::SubmitBtnClick() {
  IDialogs& d = Platform_.Dialogs;
  if (Trimmed(NameEdit).empty()) {
    d.MessageBox(TMessageKind::Warning, kCaption,
                 "名前が入力されていません。名前は必ず入力してください。", TMessageButtons::OK);
    return;
  }
  // The server reads Shift-JIS: a character it has no code for cannot be sent. Checked
  // before the comment gets its brackets, so a refused comment stays as it was typed.
  try {
    Name_ = Utf8ToCp932(NameEdit);
    Mail_ = Utf8ToCp932(MailEdit);
    Utf8ToCp932(HitokotoEdit);
  } catch (const std::exception&) {
    d.MessageBox(TMessageKind::Warning, kCaption,
                 "送信できない文字が含まれています。別の文字に置き換えてください。",
                 TMessageButtons::OK);
    return;
  }
  if (!Trimmed(HitokotoEdit).empty()) HitokotoEdit = "「" + HitokotoEdit + "」";
  Hitokoto_ = Utf8ToCp932(HitokotoEdit);
  PostRanking();
}

void TRnkSubmitForm::PostRanking() {
  IDialogs& d = Platform_.Dialogs;
  if (EndpointURL.empty()) {
    // Nothing to connect to: say so and ask for a server, rather than fail a name lookup;
    // the total is not lost to a missing setting.
    d.MessageBox(TMessageKind::Warning, kCaption, kNoServerText, TMessageButtons::OK);
    const std::optional<std::string> entered =
        d.InputBox(kCaption, "ランキングサーバーのアドレス：", "http://");
    const std::string url(entered ? Trimmed(*entered) : "");
    if (url.empty() || url == "http://") return;
    if (!ParseEndpoint(url)) {
      d.MessageBox(
          TMessageKind::Warning, kCaption,
          "アドレスが正しくありません。http://ホスト名:ポート/submit の形で入力してください。",
          TMessageButtons::OK);
      return;
    }
    EndpointURL = url;
  }
  if (d.MessageBox(TMessageKind::Confirmation, kCaption,
                   "インターネットに接続していますか？（していない場合は「いいえ」を選択し、"
                   "接続してから再試行して下さい。）",
                   TMessageButtons::YesNo) == TMessageResult::No)
    return;
  const std::string body =
      RankingRequestBody(Name_, Mail_, Hitokoto_, TotalScore_, Platform_.System);
  std::vector<std::string> lines;
  const std::optional<TEndpoint> endpoint = ParseEndpoint(EndpointURL);
  if (!endpoint) {
    lines = {"CMD_ERRMES,エラー : bad address " + EndpointURL};
  } else {
    Dialog_.SetBusy(true);
    const TExchange exchange = Transport_.Exchange(*endpoint, RankingRequest(*endpoint, body),
                                                   kReplyLimit + kReplyHeadLimit);
    lines = ReplyLinesOf(exchange);
  }
  Dialog_.SetBusy(false);
  if (RunReplyCommands(lines, CSVStrInfo_Web, d, Platform_.System)) ModalResult = TModalResult::OK;
}

std::pair<bool, std::string> TestRankingServer(const std::string& url,
                                               IRankingTransport& transport) {
  std::optional<TEndpoint> endpoint = ParseEndpoint(url);
  if (!endpoint) return {false, "アドレスが正しくありません: " + url};
  // The health check sits at the server's root, beside the submission path.
  endpoint->Path = endpoint->Path.substr(0, endpoint->Path.rfind('/') + 1) + "healthz";
  std::string host =
      endpoint->Host.find(':') != std::string::npos ? "[" + endpoint->Host + "]" : endpoint->Host;
  if (endpoint->Port != (endpoint->Tls ? 443 : 80)) host += ":" + std::to_string(endpoint->Port);
  const TExchange exchange = transport.Exchange(
      *endpoint, "GET " + endpoint->Path + " HTTP/1.0\r\nHost: " + host + "\r\n\r\n", 4096);
  if (!exchange.Ok) return {false, "接続できませんでした。\n" + ReplyTextToUtf8(exchange.Error)};
  const std::string& r = exchange.Response;
  const size_t space = r.find(' ');
  const int status = space == std::string::npos ? 0 : std::atoi(r.c_str() + space + 1);
  if (r.rfind("HTTP/", 0) != 0 || status == 0)
    return {false, "サーバーから HTTP の返事がありませんでした。"};
  if (status != 200)
    return {false, "サーバーは返事をしましたが、正常ではありません（" + std::to_string(status) +
                       "）。データベースにつながっていない可能性があります。"};
  return {true, "接続できました。ランキングサーバーは正常に応答しています。"};
}

}  // namespace velmora
