// Each family of pictures writes all of its own pictures.
#pragma once

#include "images/Painting.h"

namespace velmora::images {

void WriteAircraft(Output& out);
void WriteShips(Output& out);
void WriteShotsAndItems(Output& out);
void WriteEffects(Output& out);
void WriteBonusCharacters(Output& out);
void WriteTextAndBackgrounds(Output& out);

}  // namespace velmora::images
