#include "InitialFolder.h"
#include "ChooserFolder.h"
#include "NativePath.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace mosaiq {

QString InitialFolder(Dialogs::FileKind kind) {
    const ChooserPlaces places = FindChooserPlaces(
        NativePath(QCoreApplication::applicationDirPath()), MOSAIQ_EXAMPLES_FROM_BIN,
        NativePath(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)),
        NativePath(QDir::homePath()));
    return QtPath(ChooserFolder(
        kind == Dialogs::FileKind::Open ? ChooserKind::Load : ChooserKind::Save, places));
}

} // namespace mosaiq
