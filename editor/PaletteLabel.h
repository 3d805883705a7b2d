#pragma once

#include "Codes.h"

#include <QWidget>

namespace mosaiq {

// One entry of the palette column: a coloured label with an optional single-line border that
// reports a click (press and release on the label).
class PaletteLabel : public QWidget {
    Q_OBJECT
public:
    PaletteLabel(int index, QWidget* parent = nullptr);

    int Index() const { return index_; }
    Color Fill() const { return fill_; }
    void SetFill(Color color);
    bool Border() const { return border_; }
    void SetBorder(bool on);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);

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
    QString caption_;
};

} // namespace mosaiq
