// What the 戦績 window shows, laid out by the game: groups (the window's tabs), each holding
// tables of rows. The window only draws it, and the runner prints it as text, so both show
// the same words in the same order.
#pragma once

#include <string>
#include <vector>

namespace velmora {

struct TRecordsRow {
  std::vector<std::string> Cells;
  std::string Replay;  // the run's replay file; empty when none is kept
};

struct TRecordsTable {
  std::string Title;
  std::vector<std::string> Columns;
  std::vector<TRecordsRow> Rows;
};

struct TRecordsGroup {
  std::string Title;
  std::vector<TRecordsTable> Tables;  // none: nothing played in this group yet
};

struct TRecordsView {
  std::vector<TRecordsGroup> Groups;
};

// The words a group without tables shows.
constexpr const char* kNoRecordsText = "まだ記録がありません。";

// Every group and table as lines of text, cells apart by tabs. A row whose replay is kept
// ends in "[N] FILE": N counts such rows through the whole view (see NthReplay).
std::string RecordsViewText(const TRecordsView& view);

// The replay of the n-th row (from 1, in the text's order) among rows that have one, or
// empty when there is no such row.
std::string NthReplay(const TRecordsView& view, int n);

}  // namespace velmora
