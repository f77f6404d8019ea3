// The menu model. The core owns the items, their captions, marks and handlers; the Qt
// menu bar only mirrors it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

struct TMenuItem {
  std::string Name;      // component name, e.g. "GameStart"
  std::string Caption;   // text shown; "-" is a separator
  std::string ShortCut;  // e.g. "Ctrl+Q", "F12"; empty for none
  bool Checked = false;
  bool CheckItem = false;  // an option that shows a check mark, on or off
  bool Enabled = true;
  bool Visible = true;
  bool RadioItem = false;
  int GroupIndex = 0;
  std::function<void()> OnClick;
  TMenuItem* Parent = nullptr;
  std::vector<std::unique_ptr<TMenuItem>> Items;

  TMenuItem* Add(std::string name, std::string caption, std::function<void()> onClick = {});
  // Depth-first search of this item's subtree; nullptr when absent.
  TMenuItem* Find(const std::string& name);
  // Runs the handler, if any.
  void Click();
};

}  // namespace velmora
