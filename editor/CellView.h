#pragma once

#include "BarModel.h"
#include "GridGeometry.h"

#include <array>

#include <QRect>
#include <QTimer>
#include <QWidget>

namespace mosaiq {

// The frame behind the bars and the 1024 bars on it, drawn by one widget from the bar model.
// Changes are collected and drawn once per display frame, so a run that changes bars thousands of
// times a second pays for a frame, not for every change.
//
// Mouse handling follows the rules the editor expects of bars: while a button is held, moves and
// the release go to the bar on which it went down, wherever the pointer is; a click is reported
// after the release when the release happens over the pressed bar.
class CellView : public QWidget {
    Q_OBJECT
public:
    // Draws `model` where `grid` places its bars.
    CellView(BarModel& model, const GridLayout& grid, QWidget* parent = nullptr);

    void SetPanelColor(Color color);

    // Bar index under a point of this widget, or 0 when the point lies on the frame: the bar
    // whose drawn device pixels hold the point.
    int BarAt(QPointF pos) const;
    // The device pixels bar i covers; and the smallest rectangle of this widget's own pixels that
    // holds them, the same at a device pixel ratio of 1.
    QRect DeviceBarRect(int index) const;
    QRect BarRect(int index) const;

    // How often the widget has been painted.
    quint64 PaintCount() const { return paintCount_; }

signals:
    void BarMouseDown(int index, int button);
    void BarMouseMove(int index, int button);
    void BarMouseUp(int index, int button);
    void BarClick(int index);
    void PanelMouseMove(int button);
    void PanelMouseUp(int button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void BarChanged(int index);
    void FrameDue();
    double PixelsPerTwipX() const;
    double PixelsPerTwipY() const;

    BarModel& model_;
    const GridLayout& grid_;
    GridLayout drawnGrid_; // the layout the whole frame was last redrawn for
    Color panelColor_ = kBlack;
    std::array<bool, kCellCount + 1> dirty_{};
    bool anyDirty_ = false;
    bool panelDirty_ = false;
    QTimer frameTimer_;
    int captureBar_ = 0;          // bar that holds the mouse while a button is down
    bool captureOnPanel_ = false; // the button went down on the frame
    quint64 paintCount_ = 0;
};

} // namespace mosaiq
