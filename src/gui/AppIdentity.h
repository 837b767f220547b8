#pragma once
// Quillet on the desktop: its name and version, the desktop entry it belongs to (so that the window
// is grouped with its menu entry), and the icon that every window shows in its title bar.

#include <QIcon>

namespace AppIdentity {

// The application icon at every rendered size (embedded, so it shows without an installed theme).
QIcon Icon();
// Sets name, version and desktop entry.
void ApplyNames();
// ApplyNames, and the default window icon for every window of the program. The window program
// sets the icon once its main window is up: decoding every size is not worth delaying it for.
void Apply();

} // namespace AppIdentity
