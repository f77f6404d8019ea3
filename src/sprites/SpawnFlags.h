// The appearance flags an enemy receives from its schedule record; the mission-file keywords
// carry the same names.
#pragma once

#include <cstdint>

namespace velmora {

enum : uint32_t {
  SF_ENEMYADV = 0x0001,
  SF_STOPADV = 0x0002,
  SF_HighSpeed = 0x0004,
  SF_LowSpeed = 0x0008,
  SF_HighPower = 0x0010,
  SF_WideMove = 0x0020,
  SF_TIMING1 = 0x0040,
  SF_TIMING2 = 0x0080,
  SF_TIMING3 = 0x0100,
  SF_WORTHLESS = 0x0200,
  SF_ENDINGOBJ = 0x0400,
  SF_NOFIRE = 0x0800,
  SF_NOSMOKE = 0x1000,
};

}  // namespace velmora
