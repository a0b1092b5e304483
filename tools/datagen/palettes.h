// The 16-colour palettes: one per entry (by list position) in its faction's
// livery, and the four icon palettes.
#pragma once

#include "catalogue.h"
#include "data/records.h"

namespace varsk::datagen {

uint16_t ToBgr555(Rgb rgb);
// The palette of list position p (0..229); position 229 belongs to no entry.
Palette16 EntryPalette(int position);
Palette16 IconPalette(int i);

}  // namespace varsk::datagen
