#include "shell/Menu.h"

namespace velmora {

TMenuItem* TMenuItem::Add(std::string name, std::string caption, std::function<void()> onClick) {
  auto item = std::make_unique<TMenuItem>();
  item->Name = std::move(name);
  item->Caption = std::move(caption);
  item->OnClick = std::move(onClick);
  item->Parent = this;
  Items.push_back(std::move(item));
  return Items.back().get();
}

TMenuItem* TMenuItem::Find(const std::string& name) {
  if (Name == name) return this;
  for (auto& item : Items)
    if (TMenuItem* found = item->Find(name)) return found;
  return nullptr;
}

void TMenuItem::Click() {
  if (OnClick) OnClick();
}

}  // namespace velmora
