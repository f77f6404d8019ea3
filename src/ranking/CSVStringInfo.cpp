#include "ranking/CSVStringInfo.h"

namespace velmora {

void TCSVStringInfo::SetSourceString(const std::string& line) {
  SourceString_ = line;
  FieldList_.clear();
  if (line.empty()) {
    Error_ = true;
    return;
  }
  size_t pos = 0;
  while (pos < line.size()) {
    if (line[pos] == '"') {
      ++pos;
      // A quoted field ends at a quote followed by a comma, or at a quote ending the line.
      size_t end = line.find("\",", pos);
      if (end == std::string::npos)
        end = line.back() == '"' && line.size() - 1 >= pos ? line.size() - 1 : line.size();
      FieldList_.push_back(line.substr(pos, end - pos));
      pos = end + 1;
      if (pos < line.size() && line[pos] == ',') ++pos;
    } else {
      size_t end = line.find(',', pos);
      if (end == std::string::npos) end = line.size();
      FieldList_.push_back(line.substr(pos, end - pos));
      pos = end + 1;
    }
  }
  Error_ = false;
}

}  // namespace velmora
