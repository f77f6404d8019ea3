#include "platform/RecordsView.h"

#include <filesystem>

namespace velmora {

namespace {

std::string JoinCells(const std::vector<std::string>& cells) {
  std::string line;
  for (const std::string& cell : cells) {
    if (!line.empty()) line += '\t';
    line += cell;
  }
  return line;
}

}  // namespace

std::string RecordsViewText(const TRecordsView& view) {
  std::string text;
  int replays = 0;
  for (const TRecordsGroup& group : view.Groups) {
    text += "== " + group.Title + " ==\n";
    if (group.Tables.empty()) text += std::string(kNoRecordsText) + "\n";
    for (const TRecordsTable& table : group.Tables) {
      text += "-- " + table.Title + " --\n";
      text += JoinCells(table.Columns) + "\n";
      for (const TRecordsRow& row : table.Rows) {
        text += JoinCells(row.Cells);
        if (!row.Replay.empty())
          text += "\t[" + std::to_string(++replays) + "] " +
                  std::filesystem::path(row.Replay).filename().string();
        text += "\n";
      }
    }
  }
  return text;
}

std::string NthReplay(const TRecordsView& view, int n) {
  for (const TRecordsGroup& group : view.Groups)
    for (const TRecordsTable& table : group.Tables)
      for (const TRecordsRow& row : table.Rows)
        if (!row.Replay.empty() && --n == 0) return row.Replay;
  return {};
}

}  // namespace velmora
