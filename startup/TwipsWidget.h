#pragma once

#include <QWidget>

namespace mosaiq {

// A widget placed and sized in twips, as the splash's controls are; every change moves it at once.
class TwipsWidget : public QWidget {
public:
    explicit TwipsWidget(QWidget* parent = nullptr) : QWidget(parent) {}

    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return width_; }
    double Height() const { return height_; }
    void SetLeft(double twips);
    void SetTop(double twips);
    void SetWidth(double twips);
    void SetHeight(double twips);

private:
    void Place();

    double left_ = 0;
    double top_ = 0;
    double width_ = 0;
    double height_ = 0;
};

} // namespace mosaiq
