#include "platform/headless/Headless.h"

#include <cstdlib>
#include <map>
#include <sstream>

namespace velmora {

bool THeadlessDisplay::Initialize() {
  BackBuffer_.SetSize(640, 480);
  Initialized_ = true;
  ++Resets;
  return true;
}

std::string THeadlessDialogs::NextAnswer() {
  if (Answers.empty()) return {};
  std::string answer = Answers.front();
  Answers.pop_front();
  return answer;
}

std::optional<std::string> THeadlessDialogs::TakeAnswer(const std::string& prefix) {
  if (Answers.empty() || Answers.front().rfind(prefix, 0) != 0) return std::nullopt;
  return NextAnswer();
}

void THeadlessDialogs::Record(TRecord record) {
  if (OnDialog) OnDialog(record);
  Log.push_back(std::move(record));
}

TMessageResult THeadlessDialogs::MessageBox(TMessageKind kind, const std::string& caption,
                                            const std::string& text, TMessageButtons buttons) {
  static const char* const kKinds[] = {"information", "warning", "error", "confirmation"};
  const std::string answer = NextAnswer();
  TMessageResult result = TMessageResult::OK;
  switch (buttons) {
    case TMessageButtons::OK:
      result = TMessageResult::OK;
      break;
    case TMessageButtons::OKIgnore:
      result = answer == "ignore" ? TMessageResult::Ignore : TMessageResult::OK;
      break;
    case TMessageButtons::YesNo:
      result = answer == "no" || answer == "cancel" ? TMessageResult::No : TMessageResult::Yes;
      break;
    case TMessageButtons::YesNoDefaultNo:
      result = answer == "yes" ? TMessageResult::Yes : TMessageResult::No;
      break;
  }
  static const char* const kResults[] = {"ok", "ignore", "yes", "no", "cancel"};
  Record({kKinds[static_cast<int>(kind)], caption, text, kResults[static_cast<int>(result)],
          buttons == TMessageButtons::YesNoDefaultNo});
  return result;
}

std::optional<std::string> THeadlessDialogs::InputBox(const std::string& caption,
                                                      const std::string& prompt,
                                                      const std::string& initial) {
  const std::string answer = NextAnswer();
  std::optional<std::string> result = initial;
  if (answer.rfind("text:", 0) == 0) result = answer.substr(5);
  if (answer == "cancel") result.reset();
  Record({"input", caption, prompt, result ? "text:" + *result : "cancel"});
  return result;
}

std::optional<std::string> THeadlessDialogs::OpenFile(const std::string& title,
                                                      const std::string&) {
  const std::string answer = NextAnswer();
  std::optional<std::string> result;
  if (answer.rfind("file:", 0) == 0) result = answer.substr(5);
  Record({"openfile", title, "", result ? "file:" + *result : "cancel"});
  return result;
}

std::optional<std::string> THeadlessDialogs::ShowRecords(const TRecordsView& view) {
  const std::string answer = NextAnswer();
  std::string chosen;
  if (answer.rfind("watch:", 0) == 0) chosen = NthReplay(view, std::atoi(answer.c_str() + 6));
  Record({"records", "戦績", RecordsViewText(view), chosen.empty() ? "close" : "watch:" + chosen});
  if (chosen.empty()) return std::nullopt;
  return chosen;
}

bool THeadlessDialogs::EditKeyBindings(TKeyBindings& bindings) {
  const std::string answer = NextAnswer();
  if (answer.rfind("keys:", 0) != 0) {
    Record({"keys", "キー設定", "", "cancel"});
    return false;
  }
  // The lines named replace those of the bindings as they stand; the rest stay.
  std::map<std::string, std::string> lines;
  for (const auto& [key, value] : KeyBindingEntries(bindings))
    lines[key] = value;
  std::istringstream list(answer.substr(5));
  std::string item;
  while (std::getline(list, item, ';')) {
    const size_t eq = item.find('=');
    if (eq != std::string::npos) lines[item.substr(0, eq)] = item.substr(eq + 1);
  }
  std::vector<std::string> problems;
  bindings = ReadKeyBindings(
      [&lines](const std::string& key) -> std::optional<std::string> {
        auto it = lines.find(key);
        if (it == lines.end()) return std::nullopt;
        return it->second;
      },
      problems);
  Record({"keys", "キー設定", "", answer});
  return true;
}

}  // namespace velmora
