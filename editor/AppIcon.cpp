#include "AppIcon.h"

#include <QString>

namespace mosaiq {

QIcon AppIcon() {
    QIcon icon;
    // No size given, so each file is read at once: a missing one leaves its size out of
    // availableSizes() instead of hiding behind a lazy entry.
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/mosaiq.png").arg(size));
    return icon;
}

} // namespace mosaiq
