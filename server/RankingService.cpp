#include "RankingService.h"

#include <charconv>
#include <ctime>
#include <stdexcept>

#include "engine/Encoding.h"
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

bool Blank(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) > ' ') return false;
  return true;
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

bool TRankingService::TooOften(const std::string& address, int64_t now) {
  const std::lock_guard lock(Mutex_);
  std::deque<int64_t>& times = Recent_[address];
  while (!times.empty() && times.front() <= now - 60)
    times.pop_front();
  times.push_back(now);
  // Forget quiet addresses now and then, so the table does not grow for ever.
  if (Recent_.size() > 10000)
    std::erase_if(Recent_, [now](const auto& entry) {
      return entry.second.empty() || entry.second.back() <= now - 60;
    });
  return times.size() > static_cast<size_t>(kSubmissionsPerMinute);
}

std::string TRankingService::Submit(const std::string& body, const std::string& address,
                                    const std::string& pageUrl, int64_t now) {
  if (body.size() > kMaxSubmissionBody) return Error("送信データが大きすぎます。");
  if (TooOften(address, now))
    return Error("送信が多すぎます。一分ほど待ってから送り直してください。");
  std::map<std::string, std::string> form;
  for (auto& [name, value] : DecodeFormBody(body))
    form.emplace(name, value);
  TSubmission s;
  try {
    s.Name = Cp932ToUtf8(form["name"]);
    s.Mail = Cp932ToUtf8(form["mail"]);
    s.Comment = Cp932ToUtf8(form["hitokoto"]);
  } catch (const std::exception&) {
    return Error("文字コードが正しくありません（Shift-JISで送ってください）。");
  }
  // Kept as the game sends it; it is not shown anywhere.
  s.Machine = IsValidUtf8(form["secinf"]) ? form["secinf"] : "?";
  if (Blank(s.Name)) return Error("名前がありません。名前は必ず入力してください。");
  const std::string& score = form["score"];
  const auto [end, error] = std::from_chars(score.data(), score.data() + score.size(), s.Score);
  if (score.empty() || error != std::errc() || end != score.data() + score.size())
    return Error("戦果の値が正しくありません。");
  if (!RankingCheckMatches(form["code"], score))
    return Error("チェックコードが一致しません。正規のゲームから送ってください。");
  s.Address = address;
  s.Submitted = UtcText(now);
  int64_t place = 0;
  try {
    place = Store_.Add(s);
  } catch (const std::exception&) {
    return Error("サーバーで記録できませんでした。時間をおいて送り直してください。");
  }
  // Commas in the page's address would split the line; the caller builds it from the host.
  return "CMD_MES,登録しました。あなたの総戦果 " + score + " は " + std::to_string(place) +
         " 位です。\r\nCMD_URLOPEN,ランキングのページを開きますか？," + pageUrl + "\r\n";
}

std::string TRankingService::RankingPage() {
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
