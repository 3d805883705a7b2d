#pragma once

#include "BarModel.h"
#include "Dialogs.h"
#include "Machine.h"
#include "OneShotTimer.h"
#include "RunProgram.h"

#include <QMenu>
#include <QString>
#include <QWidget>

#include <array>
#include <chrono>
#include <functional>
#include <string>

namespace mosaiq {

class CellView;
class PaletteLabel;

// The editor window (frmEditor): the palette column, the frame with the 32 x 32 cell bars, the
// deferred-command timer and the pop-up menu. All editor and machine state lives here, as fields
// named as the rest of the program names them; handlers keep their control_event names.
class EditorWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDesignClientWidth = 10635; // twips
    static constexpr int kDesignClientHeight = 7905;
    static constexpr int kPanelLeft = 840;
    static constexpr int kPanelTop = 120;
    static constexpr int kPaletteLeft = 120;
    static constexpr int kPaletteTop = 120;
    static constexpr int kPaletteStep = 480;
    static constexpr int kPaletteWidth = 615;
    static constexpr int kPaletteHeight = 375;
    static constexpr Color kWindowColor = 0x808080;

    explicit EditorWindow(Dialogs& dialogs, QWidget* parent = nullptr);
    ~EditorWindow() override;

    // Machine and editor state.
    MachineState Machine;
    std::uint8_t PenCode = 0;
    std::int32_t HoverBar = 0;
    bool FreshStart = false;
    bool Busy = false;
    QString FileName;
    QString AppTitle = QStringLiteral("Mosaiq");
    QString HandOverMark;

    // Controls.
    BarModel Bars;
    CellView* Panel = nullptr;
    std::array<PaletteLabel*, kInstructionCount> lColor{};
    OneShotTimer OneShot;
    QMenu mnuContext;
    QAction* mnuLoad = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuRun = nullptr;
    QAction* mnuSep1 = nullptr;
    QAction* mnuGC = nullptr;
    QAction* mnuClear = nullptr;
    QAction* mnuSep2 = nullptr;
    QAction* mnuClose = nullptr;

    Dialogs& Modal() { return dialogs_; }

    // The caption, which also records the mode ("[Design]" or "[Running]").
    QString Caption() const { return QString::fromStdString(caption_); }
    void SetCaption(const QString& caption);
    bool CaptionHas(std::string_view word) const {
        return caption_.find(word) != std::string::npos;
    }
    void SetStatus(std::string_view mode);
    void ShowFileInCaption();

    // Layout, in twips.
    double PanelWidth() const { return panelWidth_; }
    double PanelHeight() const { return panelHeight_; }
    double ClientWidthTwips() const;
    double ClientHeightTwips() const;
    void ResizeClientTwips(double width, double height);
    void Form_Resize();
    void SetupGrid();

    // Deferred commands and run control.
    void OneShot_Timer();
    void mnuRun_Click();
    void mnuGC_Click();
    void mnuClear_Click();
    void ShowContextMenu();
    // A right release over a bar or the frame: sets the items by what the strip holds, then
    // opens the menu.
    void OpenMenuForContent();

    // Palette and painting.
    void ShowTooltips();
    void lColor_Click(int index);
    void Bar_MouseDown(int index, int button);
    void Bar_MouseMove(int index, int button);
    void Bar_MouseUp(int index, int button);
    void Bar_Click(int index);
    void Panel_MouseMove(int button);
    void Panel_MouseUp(int button);
    void Form_MouseMove(int button);
    void Form_Click();

    // Closing.
    bool HoldsContent() const;
    void Form_QueryUnload(bool& cancel);
    void Form_Unload();
    // What ending the program does; tests replace it. By default the process ends at once.
    std::function<void()> EndProgram;

    // Runs the strip now, as the dispatcher does for "run". Returns when the run has ended.
    void RunNow();
    bool Running() const { return running_; }
    const RunResult& LastRun() const { return lastRun_; }

    // Lets the window system deliver pending events; what a run does between its steps.
    void YieldToEvents();
    // Drops a run that fell due during a run; the user has asked for something else since.
    void CancelPendingRun() { pendingRun_ = false; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ApplyPanelGeometry();

    Dialogs& dialogs_;
    std::string caption_;
    double panelWidth_ = 0;
    double panelHeight_ = 0;
    bool running_ = false;
    bool pendingRun_ = false;
    bool formPressed_ = false;
    RunResult lastRun_;
    std::chrono::steady_clock::time_point lastYield_{};
};

} // namespace mosaiq
