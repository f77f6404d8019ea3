#include "engine/Assets.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace velmora {

std::span<const uint8_t> FindAsset(std::string_view name) {
  const auto assets = EmbeddedAssets();
  const auto it =
      std::lower_bound(assets.begin(), assets.end(), name,
                       [](const TEmbeddedAsset& a, std::string_view n) { return a.Name < n; });
  if (it == assets.end() || it->Name != name)
    throw std::runtime_error("組み込みデータ '" + std::string(name) + "' が見つかりません");
  return it->Data;
}

}  // namespace velmora
