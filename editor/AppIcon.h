#pragma once

#include <QIcon>

namespace mosaiq {

// The application icon, drawn as the desktop entry shows it, in every size the hicolor theme
// gets (16 to 256 pixels), read from the editor's resources. Both the editor window and the splash
// take it from QApplication::windowIcon, so the process entry sets it once.
QIcon AppIcon();

} // namespace mosaiq
