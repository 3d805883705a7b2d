#pragma once

#include "SplashRules.h"

#include <array>
#include <functional>

#include <QTimer>
#include <QWidget>

namespace mosaiq {

class SplashLabel;
class SplashPanel;

// The splash window (frmSplash): the product title, an author credit and a tagline in a column at
// the right edge, over a grid of equal tiles of one random colour. It is shown by the editor's
// start-up, which waits until the splash releases it; the splash does so at
// its timer's tick and, whatever else ends it, when it closes or is destroyed, so that start-up
// always goes on. The window is fixed in size, has no title bar and no task-bar entry, and is
// centred on the screen.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    // Runs the load handler: shows `title` and takes every random draw from `draw`, the colour's
    // first. The window is not shown. `release` is called once, when the splash is done.
    SplashWindow(const QString& title, std::function<void()> release,
                 SplashDraw draw = ClockSeededDraw());
    ~SplashWindow() override;

    // Controls.
    QTimer Timer1;
    SplashPanel* Panel = nullptr;
    SplashLabel* lblTitle = nullptr;
    SplashLabel* lblAuthor = nullptr;
    SplashLabel* lblTagline = nullptr;

    std::array<SplashLabel*, kSplashLabelCount> Labels() const {
        return {lblTitle, lblAuthor, lblTagline};
    }
    double ClientWidthTwips() const;
    double ClientHeightTwips() const;

    // Handlers.
    void Form_Resize();
    void SetupGrid();
    void Form_Paint();
    void Timer1_Timer();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void ReleaseStartUp();

    QString title_;
    std::function<void()> release_;
    SplashDraw draw_;
};

// The editor's splash hand-over (see Form_Load): shows a splash that deletes itself when it
// closes and then calls `release`, and returns it.
SplashWindow* ShowSplash(const QString& title, std::function<void()> release);

} // namespace mosaiq
