// Text at the edges: Shift-JIS (CP932) outside, UTF-8 inside.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// Throws std::runtime_error when the text has no CP932 form.
std::string Utf8ToCp932(std::string_view utf8);
// Throws std::runtime_error on bytes that are not CP932.
std::string Cp932ToUtf8(std::string_view cp932);
bool IsValidUtf8(std::string_view bytes);
// CP932 as it is read: a byte that starts no CP932 character becomes "?". replaced, when
// given, counts them.
std::string Cp932ToUtf8Lossy(std::string_view cp932, int* replaced = nullptr);
// Whether a text from outside is UTF-8 rather than CP932. A byte-order mark decides at once.
// Japanese in UTF-8 always has characters of three bytes; CP932's half-width katakana pairs
// ("ﾃｽ" is C3 BD) can be valid two-byte UTF-8 as well, so a text valid in both without a
// three-byte character is taken as CP932.
bool IsUtf8Text(std::string_view bytes);
// A text file's bytes as UTF-8 (see IsUtf8Text; files made on Windows machines are CP932),
// without a byte-order mark.
std::string TextFileToUtf8(std::string_view bytes);

}  // namespace velmora
