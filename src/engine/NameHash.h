// Case-insensitive name lookup through 256 hash chains, shared by the image catalogue and
// the wave lists. Naming an item puts it at the head of its chain, so among duplicate
// names the most recently named item wins.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace velmora {

std::string LowerAscii(std::string_view s);
bool SameTextAscii(std::string_view a, std::string_view b);
// h = n*16, plus the codes of the next-to-last and first characters when n >= 2; low byte.
int NameHashOf(std::string_view name);

// Items must expose `std::string Name` and `Item* NextInChain`.
template <typename Item>
class TNameChains {
 public:
  void Clear() { Heads_.fill(nullptr); }

  // Call after setting (or changing) item.Name.
  void Add(Item* item) {
    Item*& head = Heads_[NameHashOf(item->Name)];
    item->NextInChain = head;
    head = item;
  }

  // Unlinks the item from whichever chain holds it.
  void Remove(Item* item) {
    for (Item*& head : Heads_) {
      for (Item** link = &head; *link; link = &(*link)->NextInChain) {
        if (*link == item) {
          *link = item->NextInChain;
          item->NextInChain = nullptr;
          return;
        }
      }
    }
  }

  Item* Find(std::string_view name) const {
    for (Item* it = Heads_[NameHashOf(name)]; it; it = it->NextInChain)
      if (SameTextAscii(it->Name, name)) return it;
    return nullptr;
  }

 private:
  std::array<Item*, 256> Heads_{};
};

}  // namespace velmora
