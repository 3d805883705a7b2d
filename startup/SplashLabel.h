#pragma once

#include "Codes.h"

#include "TwipsWidget.h"
#include <QString>

namespace mosaiq {

// A label of the splash window: a caption drawn right-justified in a filled box whose place and
// size are kept in twips. A caption's trailing blank counts as text, so it keeps the caption off
// the box's right edge.
class SplashLabel : public TwipsWidget {
    Q_OBJECT
public:
    explicit SplashLabel(QWidget* parent = nullptr);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    void SetColors(Color back, Color fore);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
    Color backColor_ = 0x000000;
    Color foreColor_ = 0xFFFFFF;
};

} // namespace mosaiq
