#pragma once

#include "Codes.h"

#include <QString>
#include <QWidget>

namespace mosaiq {

// A label of the splash window: a caption drawn right-justified in a filled box whose place and
// size are kept in twips. A caption's trailing blank counts as text, so it keeps the caption off
// the box's right edge.
class SplashLabel : public QWidget {
    Q_OBJECT
public:
    explicit SplashLabel(QWidget* parent = nullptr);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    Color BackColor() const { return backColor_; }
    Color ForeColor() const { return foreColor_; }
    void SetColors(Color back, Color fore);

    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return width_; }
    double Height() const { return height_; }
    void SetLeft(double twips);
    void SetTop(double twips);
    void SetWidth(double twips);
    void SetHeight(double twips);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Place();

    QString caption_;
    Color backColor_ = 0x000000;
    Color foreColor_ = 0xFFFFFF;
    double left_ = 0;
    double top_ = 0;
    double width_ = 0;
    double height_ = 0;
};

} // namespace mosaiq
