// What a screen reader is told about the window beyond Qt's own widgets: the
// window is a frame, the two previews are images, and a drop-down list is
// spoken by its name with its chosen item as its value. (Qt on Linux gives a
// list its chosen item as the name and leaves the name to a label beside it,
// which the designed layout does not have: eight empty weapon rows would all
// be nameless.)
#pragma once

namespace varsk {

// Installs the interfaces once per process; later calls do nothing.
void InstallEditorAccessibility();

}  // namespace varsk
