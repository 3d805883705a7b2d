#pragma once

#include "Codes.h"

#include <QWidget>

namespace mosaiq {

// One entry of the palette column: a coloured label with an optional single-line border that
// reports a click (a left press and release on the label).
class PaletteLabel : public QWidget {
    Q_OBJECT
public:
    PaletteLabel(int index, QWidget* parent = nullptr);

    void Show(Color fill, bool border);

signals:
    void Click(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int index_;
    Color fill_ = kWhite;
    bool border_ = false;
    bool pressed_ = false;
};

} // namespace mosaiq
