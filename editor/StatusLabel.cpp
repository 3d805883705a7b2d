#include "StatusLabel.h"

namespace mosaiq {

StatusLabel::StatusLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    // The dialog font of the bars' era, at a size whose line fits the 240-twip strip at any
    // resolution: 8.25 points are 165 twips.
    QFont face(QStringLiteral("MS Sans Serif"));
    face.setStyleHint(QFont::SansSerif);
    face.setPointSizeF(8.25);
    setFont(face);
}

void StatusLabel::Show(const QString& text) {
    if (text == full_) return;
    full_ = text;
    setAccessibleName(full_);
    Fit();
}

void StatusLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Fit();
}

void StatusLabel::Fit() {
    const QString shown = fontMetrics().elidedText(full_, Qt::ElideRight, contentsRect().width());
    if (shown != text()) setText(shown);
}

} // namespace mosaiq
