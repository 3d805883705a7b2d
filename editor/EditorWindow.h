#pragma once

#include "Editor.h"

#include <QMenu>
#include <QSlider>
#include <QTimer>
#include <QWidget>

#include <array>
#include <chrono>
#include <functional>
#include <vector>

namespace mosaiq {

class CellView;

// How the file chooser spells the file name `name` (bytes): decoded as the system decodes names,
// and encoded again.
std::string ChooserSpells(const std::string& name);
class PaletteLabel;
class StatusLabel;

// The editor window (frmEditor) as the window system shows it: the palette column, the frame
// with the 32 x 32 cell bars, the pop-up menu and the deferred-command timer. It holds no rule:
// it passes every event to the handler of the same name in `Form`, draws what `Form` says, and
// provides the modal pieces the rules ask for. Tests may replace those pieces.
class EditorWindow : public QWidget, public EditorView {
    Q_OBJECT
public:
    explicit EditorWindow(QWidget* parent = nullptr);
    ~EditorWindow() override;

    // The rules and all state.
    Editor Form{*this};

    // Controls.
    CellView* Panel = nullptr;
    std::array<PaletteLabel*, kInstructionCount> lColor{};
    QSlider* PaceSlider = nullptr; // top is fastest
    StatusLabel* lblStatus = nullptr;

    // Sets the pace of visible runs and the slider that shows it; a pace off the ladder is taken
    // to its nearest rung. Unlike a change at the slider, it is not announced.
    void SetPace(int perSecond);
    // How often the status line has been refreshed: once per frame while its words move.
    quint64 StatusFrames() const { return statusFrames_; }

    // The client area in twips.
    double ClientWidthTwips() const;
    double ClientHeightTwips() const;
    void ResizeClientTwips(double width, double height);

    // The eight palette tooltips: the names of the instructions.
    void ShowTooltips();

    // What ending the program does. By default the process ends at once.
    std::function<void()> OnEndProgram;

    // EditorView.
    void Yield() override;
    std::chrono::steady_clock::time_point Now() override {
        return std::chrono::steady_clock::now();
    }
    void WaitUntil(std::chrono::steady_clock::time_point until) override;
    void ShowContextMenu() override;
    bool AskYesNo(std::string_view title, std::string_view text) override;
    bool AskOkCancel(std::string_view title, std::string_view text) override;
    void Inform(std::string_view title, std::string_view text) override;
    std::string ChooseFile(const FileRequest& request) override;
    void EndProgram() override { OnEndProgram(); }
    void Changed(Part part) override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Resize();
    void PlacePaceSlider();
    void PlaceStatusLine();
    void RefreshStatus();
    void ShowPace(int rung, bool tipNow);
    void AddItem(const MenuItem& item, std::function<void()> chosen);

    QMenu mnuContext_;
    std::vector<std::pair<QAction*, const MenuItem*>> items_;
    QTimer oneShot_;
    QTimer paceWait_;    // ends a paced run's wait
    QTimer statusFrame_; // the status line's next frame
    quint64 statusFrames_ = 0;
    bool formPressed_ = false;
    bool shown_ = false;
    std::chrono::steady_clock::time_point lastYield_{};
    int yieldsUnread_ = 0; // yields since the clock was last read
};

} // namespace mosaiq
