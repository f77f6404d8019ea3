// The comma splitter of the server's reply lines. It works on bytes: neither the quote nor
// the comma occurs as a Shift-JIS trail byte, and in UTF-8 no multi-byte character holds one.
#pragma once

#include <string>
#include <vector>

namespace velmora {

class TCSVStringInfo {
 public:
  // Splits the line into FieldList. Nothing is unescaped: a doubled quote stays two quotes.
  void SetSourceString(const std::string& line);
  const std::string& SourceString() const { return SourceString_; }
  const std::vector<std::string>& FieldList() const { return FieldList_; }
  // True for an empty line (and before the first line).
  bool Error() const { return Error_; }

 private:
  std::string SourceString_;
  std::vector<std::string> FieldList_;
  bool Error_ = true;
};

}  // namespace velmora
