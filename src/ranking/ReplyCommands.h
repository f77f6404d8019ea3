// The ranking server's reply: comma-separated command lines that show a message, show an
// error, ask for a text or offer a web page. The client's own failures arrive the same way.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ranking/CSVStringInfo.h"

namespace velmora {

class IDialogs;
class ISystem;

// Splits at CR LF, LF or CR. A line break at the very end gives no empty last line.
std::vector<std::string> SplitReplyLines(std::string_view text);

// The reply's bytes as text: Shift-JIS, or UTF-8 when they are valid UTF-8; bytes that
// are neither become "?", so a damaged reply still shows what can be read.
std::string ReplyTextToUtf8(std::string_view bytes);

// Carries out the lines in order, each box waiting for the player. Returns true when a
// "CMD_MES" line asked for the dialog to close once the whole reply has been handled.
bool RunReplyCommands(const std::vector<std::string>& lines, TCSVStringInfo& splitter,
                      IDialogs& dialogs, ISystem& system);

}  // namespace velmora
