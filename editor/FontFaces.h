#pragma once

#include "Appearance.h"

#include <QFont>

namespace mosaiq {

// A font of the rules' appearance as Qt takes it; a family the system lacks falls back to its
// sans serif.
inline QFont FaceFont(const FontFace& face) {
    QFont font(QString::fromUtf8(face.family.data(), static_cast<qsizetype>(face.family.size())));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(face.points);
    font.setBold(face.bold);
    return font;
}

} // namespace mosaiq
