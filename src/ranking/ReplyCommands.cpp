#include "ranking/ReplyCommands.h"

#include <stdexcept>

#include "engine/Encoding.h"
#include "platform/Platform.h"

namespace velmora {

namespace {

constexpr const char* kCaption = "Velmora";

// A command read a field its line does not have.
struct TMissingField {
  size_t Index;
};

const std::string& Field(const std::vector<std::string>& fields, size_t index) {
  if (index >= fields.size()) throw TMissingField{index};
  return fields[index];
}

bool IsWebAddress(const std::string& address) {
  const size_t colon = address.find("://");
  if (colon == std::string::npos) return false;
  std::string scheme = address.substr(0, colon);
  for (char& c : scheme)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return (scheme == "http" || scheme == "https") && address.size() > colon + 3;
}

}  // namespace

std::vector<std::string> SplitReplyLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::string ReplyTextToUtf8(std::string_view bytes) {
  if (IsUtf8Text(bytes)) return std::string(bytes);
  return Cp932ToUtf8Lossy(bytes);
}

bool RunReplyCommands(const std::vector<std::string>& lines, TCSVStringInfo& splitter,
                      IDialogs& dialogs, ISystem& system) {
  bool recognised = false;
  bool close = false;
  const auto box = [&dialogs](TMessageKind kind, const std::string& text) {
    dialogs.MessageBox(kind, kCaption, text, TMessageButtons::OK);
  };
  try {
    for (const std::string& line : lines) {
      splitter.SetSourceString(line);
      const std::vector<std::string>& f = splitter.FieldList();
      if (f.empty()) break;
      const std::string& command = f[0];
      if (command == "CMD_MES") {
        box(TMessageKind::Information, Field(f, 1));
        close = true;
        recognised = true;
      } else if (command == "CMD_ERRMES") {
        box(TMessageKind::Error, Field(f, 1));
        recognised = true;
      } else if (command == "CMD_INPUT") {
        // The initial text is read first; what the player types is not used.
        const std::string& initial = Field(f, 3);
        dialogs.InputBox(Field(f, 1), Field(f, 2), initial);
        recognised = true;
      } else if (command == "CMD_URLOPEN") {
        if (dialogs.MessageBox(TMessageKind::Confirmation, kCaption, Field(f, 1),
                               TMessageButtons::YesNo) == TMessageResult::Yes) {
          const std::string& address = Field(f, 2);
          // A reply must not make the program start anything but the web browser.
          if (IsWebAddress(address))
            system.OpenUrl(address);
          else
            box(TMessageKind::Error, "このアドレスは開けません：" + address);
        }
        recognised = true;
      }
    }
  } catch (const TMissingField& missing) {
    box(TMessageKind::Error,
        "リストのインデックスが範囲を超えています (" + std::to_string(missing.Index) + ")");
    return close;
  }
  if (!recognised) box(TMessageKind::Error, "有効なデーターが含まれていません。");
  return close;
}

}  // namespace velmora
