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
// UTF-8 as it is when valid, otherwise read as CP932 (text files made on Windows machines).
std::string TextFileToUtf8(std::string_view bytes);

}  // namespace velmora
