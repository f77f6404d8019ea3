// Kept apart from the wave-list reader so that programs which only read wave lists (the
// fuzzer) need not carry the embedded pictures and sounds.
#include <string>

#include "engine/Assets.h"
#include "engine/WaveList.h"

namespace velmora {

void LoadBuiltInEffects(TDXWaveList& list) {
  static const char* const kEffects[] = {"Explosion", "kan!!", "30cal", "50cal", "GetItem"};
  list.Clear();
  for (const char* name : kEffects) {
    TWaveItem& item = list.Add();
    item.SetName(name);
    item.Looped = false;
    item.MaxPlayingCount = 0;
    ReadRiffWave(FindAsset(std::string("sounds/") + name + ".wav"), item.Format, item.Samples);
  }
  list.Initialize();
}

}  // namespace velmora
