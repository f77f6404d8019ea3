#include "RankingService.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <stdexcept>

#include "engine/Encoding.h"
#include "engine/Scrambler.h"
#include "ranking/RnkSubmit.h"

namespace velmora {

namespace {

std::string Error(const std::string& reason) {
  return "CMD_ERRMES," + reason + "\r\n";
}

std::string UtcText(int64_t seconds) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
  return text;
}

// The code points of valid UTF-8 text.
std::u32string CodePoints(const std::string& utf8) {
  std::u32string out;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    const int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
    char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
    for (int k = 1; k <= extra && i + k < utf8.size(); ++k)
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    out += cp;
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

bool IsControl(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

bool IsBlank(char32_t c) {
  return c == ' ' || c == 0xA0 || c == 0x3000 || (c >= 0x2000 && c <= 0x200B) || c == 0xFEFF;
}

// Why the field cannot be stored, or empty.
std::string FieldProblem(const std::string& text, size_t maxChars, const std::string& label) {
  const std::u32string cps = CodePoints(text);
  if (cps.size() > maxChars)
    return label + "が長すぎます（" + std::to_string(maxChars) + "文字まで）。";
  for (char32_t c : cps)
    if (IsControl(c)) return label + "に使えない文字（制御文字）が含まれています。";
  return {};
}

bool Blank(const std::string& text) {
  for (char32_t c : CodePoints(text))
    if (!IsBlank(c)) return false;
  return true;
}

// The check field exactly as the game makes it: both layers of scrambling must give back
// the very same text, so nothing can be appended or changed that unscrambling would drop.
bool ExactCheckCode(const std::string& code, const std::string& score) {
  try {
    const std::string inner = UnscrambleText(code);
    if (code.empty() || inner.empty()) return false;
    if (ScrambleTextWithKey(inner, static_cast<unsigned char>(code[0])) != code) return false;
    const std::string plain = UnscrambleText(inner);
    if (ScrambleTextWithKey(plain, static_cast<unsigned char>(inner[0])) != inner) return false;
  } catch (const std::exception&) {
    return false;
  }
  return RankingCheckMatches(code, score);
}

std::string WaitText(int64_t seconds) {
  return "送信が多すぎます。あと" + std::to_string(seconds) + "秒待ってから送り直してください。";
}

// "2026-01-01 12:00:00" (UTC) as "2026-01-01T12:00:00Z".
std::string IsoTime(std::string text) {
  if (text.size() == 19 && text[10] == ' ') text[10] = 'T';
  return text + "Z";
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20 || c == '<' || c == '>' || c == '&') {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace

std::string EscapeHtml(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string EscapeField(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (u < 0x20 || u == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", u);
      out += escaped;
    } else {
      out += c;
    }
  }
  // C1 controls (U+0080 ... U+009F) are two bytes in UTF-8; they move a terminal too.
  for (size_t at = 0; (at = out.find('\xC2', at)) != std::string::npos;) {
    const unsigned char next = at + 1 < out.size() ? static_cast<unsigned char>(out[at + 1]) : 0;
    if (next >= 0x80 && next <= 0x9F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", next);
      out.replace(at, 2, escaped);
    } else {
      ++at;
    }
  }
  return out;
}

bool CanonicalScore(const std::string& text, int64_t& score) {
  if (text.empty() || text.size() > 10 || (text.size() > 1 && text[0] == '0')) return false;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value > kMaxScore) return false;
  score = value;
  return true;
}

std::string TRankingService::TooLarge() {
  return Error("送信データが大きすぎます。");
}

int64_t TRankingService::RefusedWait(const std::string& address, int64_t now) {
  const std::lock_guard lock(Mutex_);
  const auto found = Refused_.find(address);
  if (found == Refused_.end()) return 0;
  std::deque<int64_t>& times = found->second;
  while (!times.empty() && times.front() <= now - 60)
    times.pop_front();
  if (times.size() < static_cast<size_t>(Limits_.RefusedPerMinute)) return 0;
  return std::max<int64_t>(1, times.front() + 60 - now);
}

std::string TRankingService::Refuse(const std::string& address, int64_t now,
                                    const std::string& reason) {
  const std::lock_guard lock(Mutex_);
  Refused_[address].push_back(now);
  // Forget quiet addresses now and then, so the table does not grow for ever.
  if (Refused_.size() > 10000)
    std::erase_if(Refused_, [now](const auto& entry) {
      return entry.second.empty() || entry.second.back() <= now - 60;
    });
  return Error(reason);
}

// Empty when the form can be stored; fills s.
std::string TRankingService::Check(const std::map<std::string, std::string>& form, TSubmission& s) {
  const auto field = [&](const char* name) -> const std::string& {
    static const std::string none;
    const auto found = form.find(name);
    return found == form.end() ? none : found->second;
  };
  try {
    s.Name = Cp932ToUtf8(field("name"));
    s.Mail = Cp932ToUtf8(field("mail"));
    s.Comment = Cp932ToUtf8(field("hitokoto"));
  } catch (const std::exception&) {
    return "文字コードが正しくありません（Shift-JISで送ってください）。";
  }
  for (const std::string& problem : {FieldProblem(s.Name, kMaxNameChars, "名前"),
                                     FieldProblem(s.Mail, kMaxMailChars, "メールアドレス"),
                                     FieldProblem(s.Comment, kMaxCommentChars, "ひとこと")})
    if (!problem.empty()) return problem;
  if (Blank(s.Name)) return "名前がありません。名前は必ず入力してください。";
  // Kept as the game sends it; it is not shown anywhere, but --list prints it.
  s.Machine = field("secinf");
  if (s.Machine.size() > kMaxMachineBytes || !IsValidUtf8(s.Machine) ||
      !FieldProblem(s.Machine, kMaxMachineBytes, "").empty())
    return "送信データが正しくありません。";
  const std::string& score = field("score");
  if (!CanonicalScore(score, s.Score)) return "戦果の値が正しくありません。";
  s.Code = field("code");
  if (!ExactCheckCode(s.Code, score))
    return "チェックコードが一致しません。正規のゲームから送ってください。";
  return {};
}

std::string TRankingService::Submit(const std::string& body, const std::string& address,
                                    const std::string& pageUrl, int64_t now) {
  if (const int64_t wait = RefusedWait(address, now); wait > 0) return Error(WaitText(wait));
  if (body.size() > kMaxSubmissionBody) return Refuse(address, now, "送信データが大きすぎます。");
  std::map<std::string, std::string> form;
  for (auto& [name, value] : DecodeFormBody(body))
    form.emplace(name, value);
  TSubmission s;
  if (const std::string problem = Check(form, s); !problem.empty())
    return Refuse(address, now, problem);
  s.Address = address;
  s.At = now;
  s.Submitted = UtcText(now);
  TAddResult added;
  try {
    added = Store_.Add(s, Limits_.Store);
  } catch (const std::exception&) {
    return Error("サーバーで記録できませんでした。時間をおいて送り直してください。");
  }
  switch (added.Status) {
    case TAddStatus::Banned:
      return Error("このアドレスからの登録は受け付けていません。");
    case TAddStatus::TooOften:
      return Error(WaitText(added.Wait));
    case TAddStatus::Stored: {
      const std::lock_guard lock(PageMutex_);
      Page_.clear();
      break;
    }
    case TAddStatus::Repeated:
      break;
  }
  // Commas in the page's address would split the line; the caller builds it from the host.
  return "CMD_MES,登録しました。あなたの総戦果 " + std::to_string(s.Score) + " は " +
         std::to_string(added.Place) +
         " 位です。\r\nCMD_URLOPEN,ランキングのページを開きますか？," + pageUrl + "\r\n";
}

std::string TRankingService::RankingJson(int limit) {
  limit = std::clamp(limit, 1, kRankingPageSize);
  std::string out = "{\"ranking\":[";
  int64_t place = 0, shown = 0, previous = 0;
  for (const TSubmission& s : Store_.Best(limit)) {
    ++shown;
    if (shown == 1 || s.Score != previous) place = shown;
    previous = s.Score;
    if (shown > 1) out += ',';
    out += "\n{\"place\":" + std::to_string(place) + ",\"name\":" + JsonString(s.Name) +
           ",\"comment\":" + JsonString(s.Comment) + ",\"score\":" + std::to_string(s.Score) +
           ",\"submitted\":" + JsonString(IsoTime(s.Submitted)) + "}";
  }
  return out + "\n]}\n";
}

std::string TRankingService::RankingPage() {
  const auto now = std::chrono::steady_clock::now();
  const std::lock_guard lock(PageMutex_);
  if (Page_.empty() || now - PageMade_ >= std::chrono::seconds(1)) {
    Page_ = MakePage();
    PageMade_ = now;
  }
  return Page_;
}

std::string TRankingService::MakePage() {
  std::string rows;
  int64_t place = 0, shown = 0, previous = 0;
  for (const TSubmission& s : Store_.Best(kRankingPageSize)) {
    ++shown;
    if (shown == 1 || s.Score != previous) place = shown;
    previous = s.Score;
    rows += "<tr><td class=\"place\">" + std::to_string(place) + "</td><td>" + EscapeHtml(s.Name) +
            "</td><td>" + EscapeHtml(s.Comment) + "</td><td class=\"score\">" +
            std::to_string(s.Score) + "</td><td class=\"time\">" + EscapeHtml(s.Submitted) +
            " UTC</td></tr>\n";
  }
  if (rows.empty())
    rows = "<tr><td colspan=\"5\" class=\"empty\">まだ登録がありません。</td></tr>\n";
  return R"(<!DOCTYPE html>
<html lang="ja">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Velmora 全面クリアランキング</title>
<style>
body { background: #0b1a2e; color: #e8eef7; margin: 0; padding: 2em 1em;
       font-family: "IPAPGothic", "IPA Pゴシック", sans-serif; }
main { max-width: 52em; margin: 0 auto; }
h1 { font-size: 1.6em; margin: 0 0 .2em; letter-spacing: .05em; }
p.note { color: #9fb3cc; margin: 0 0 1.5em; }
table { width: 100%; border-collapse: collapse; background: #12263f; }
th, td { padding: .45em .7em; text-align: left; border-bottom: 1px solid #23405f; }
th { background: #1c3a5c; color: #ffd56b; font-weight: bold; }
tr:nth-child(even) td { background: #15304d; }
th.num, td.place, td.score { text-align: right; font-variant-numeric: tabular-nums; }
td.score { color: #ffd56b; font-weight: bold; }
td.time { color: #9fb3cc; font-size: .9em; white-space: nowrap; }
td.empty { text-align: center; color: #9fb3cc; }
</style>
</head>
<body>
<main>
<h1>Velmora 全面クリアランキング</h1>
<p class="note">キャンペーン全五面を終えた総戦果の上位)" +
         std::to_string(kRankingPageSize) + R"(位まで。</p>
<table>
<thead><tr><th class="num">順位</th><th>お名前</th><th>ひとこと</th><th class="num">総戦果</th><th>日時</th></tr></thead>
<tbody>
)" + rows +
         R"(</tbody>
</table>
</main>
</body>
</html>
)";
}

}  // namespace velmora
