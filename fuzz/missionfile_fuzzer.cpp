// Feeds arbitrary bytes to the mission-file reader and the checker, and the records it
// accepts to stand-ins of the appearance list. Every input must read to its end or to one
// failure; anything the sanitizers see is a bug.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/Encoding.h"
#include "missions/Appearance.h"
#include "missions/MissionFile.h"

namespace velmora {

namespace {
int Calls = 0;
std::string LastText;
}  // namespace

// The reader's only way into the schedule; here they just count what arrives.
void AddAppearance(int32_t, const std::string& spriteClass, int32_t, int32_t,
                   const std::string& text, int32_t, int32_t, uint16_t) {
  if (spriteClass.empty() || spriteClass[0] != 'T') std::abort();
  ++Calls;
  LastText = text;
}
void AddFormation(int32_t, const std::string& spriteClass, int32_t, int32_t, int32_t, int32_t) {
  if (spriteClass.empty() || spriteClass[0] != 'T') std::abort();
  ++Calls;
  LastText = "nil";
}

}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmora;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const TMissionText text = ReadMissionText(bytes);
  int lastLine = 0;
  for (const TMissionRecord& r : text.Records) {
    // Lines come in order and the text is whole UTF-8 whatever the file's encoding.
    if (r.Line <= lastLine || !IsValidUtf8(r.Text)) std::abort();
    lastLine = r.Line;
  }
  if (text.Failure && text.Failure->Line < lastLine) std::abort();
  Calls = 0;
  AppendMissionRecords(text);
  if (Calls != static_cast<int>(text.Records.size()) + (text.Failure ? 1 : 0)) std::abort();
  if (text.Failure && LastText != kMissionFileError) std::abort();
  CheckMissionText("fuzz.omf", text, true);
  return 0;
}
