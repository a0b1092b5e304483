// A labelled grid of all 229 sprite previews plus the icon strip, for people
// to look at (docs/preview-sheet.png, varsk-units render --sheet).
#pragma once

#include <QImage>

#include "data/data_set.h"
#include "data/name_list.h"
#include "graphics/anim_set.h"

namespace varsk {

// `namesE` may be null (labels then carry only the entry numbers).
// Needs a QGuiApplication for the label font.
QImage RenderPreviewSheet(const DataSet& dataSet, const AnimSetTable& table,
                          const NameList* namesE, uint32_t background);

}  // namespace varsk
