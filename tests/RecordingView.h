#pragma once

// The editor's rules with a window that records instead of showing: the questions asked (answered
// from a script), the menus opened (by their disabled items), the choosers, the end of the
// program. Play() drives the rules with a short script of events and commands, and State()
// describes what the window would show, for comparing with a table's expectation.

#include "Editor.h"
#include "FileCommands.h"
#include "StartupSteps.h"
#include "StripFormat.h"

#include <QFile>
#include <QStringList>
#include <QTest>

#include <filesystem>
#include <functional>
#include <memory>
#include <utility>

namespace mosaiq::test {

inline QString Q(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// A chooser that works in UTF-8 text: a name that is not valid UTF-8 comes back spelled otherwise.
inline std::string Spelled(const std::string& name) {
    return QString::fromUtf8(name).toUtf8().toStdString();
}

class RecordingView : public EditorView {
public:
    bool yes = false, ok = false;        // the answers to every question
    std::string fileAnswer;              // for the next chooser; empty: nothing chosen
    std::function<void()> whileMenuOpen; // runs while the menu is open
    std::function<void(long)> onYield;   // runs at every yield, given its number
    QStringList menus, questions;        // "menu off: ...", "title|text"
    std::vector<FileRequest> requests;
    int ends = 0;
    long yields = 0;
    Editor* form = nullptr;

    void Yield() override {
        if (onYield) onYield(++yields);
    }
    // Time stands still but for the waits of a paced run, which pass at once, unless `onWait`
    // (given the wait's number) serves an event that cuts the wait short.
    std::chrono::steady_clock::time_point now{};
    long waits = 0;
    std::function<bool(long)> onWait;
    std::chrono::steady_clock::time_point Now() override { return now; }
    void WaitUntil(std::chrono::steady_clock::time_point until) override {
        if (!onWait || !onWait(++waits)) now = std::max(now, until);
    }
    void ShowContextMenu() override {
        const ContextMenu& m = form->mnuContext;
        QStringList off;
        for (const MenuItem* item :
             {&m.mnuClear, &m.mnuClose, &m.mnuLoad, &m.mnuGC, &m.mnuRun, &m.mnuSave})
            if (!item->Enabled) off << Q(item->Caption);
        menus << "menu off: " + (off.isEmpty() ? QStringLiteral("none") : off.join(", "));
        if (whileMenuOpen) whileMenuOpen();
    }
    bool AskYesNo(std::string_view title, std::string_view text) override {
        Inform(title, text);
        return yes;
    }
    bool AskOkCancel(std::string_view title, std::string_view text) override {
        Inform(title, text);
        return ok;
    }
    void Inform(std::string_view title, std::string_view text) override {
        questions << Q(title) + '|' + Q(text) + (form->OneShot.Counting() ? " (timer armed)" : "");
    }
    std::string ChooseFile(const FileRequest& request) override {
        requests.push_back(request);
        return std::exchange(fileAnswer, {});
    }
    void EndProgram() override { ++ends; }
    // What the window has been told to show: the caption, the palette's marks, the frame's colour
    // and size.
    std::string caption;
    std::array<bool, kInstructionCount> palette{};
    Color panelColor = kBlack;
    double panelWidth = 0, panelHeight = 0;
    void Changed(Part part) override {
        if (part == Part::Caption) caption = form->Caption;
        for (int i = 0; part == Part::Palette && i < kInstructionCount; ++i)
            palette[i] = form->lColor[i].Border;
        if (part == Part::PanelColor) panelColor = form->PanelColor;
        if (part == Part::PanelSize) panelWidth = form->PanelWidth, panelHeight = form->PanelHeight;
    }
};

// A row of a table of scripts: the script, and what the window shows at its "check" steps and at
// its end, joined by " | "; or with `words`, the status line's words at its "status" steps and at
// its end.
inline void ScriptRow(const char* name, const QString& script, const QString& shown,
                      bool words = false) {
    QTest::newRow(name) << script << shown << words;
}

// An editor as start-up leaves it (the designed size, pen 1 marked, the caption in design mode),
// with the first-time menu out of the way.
struct EditorFixture {
    static inline QString folder; // where "start", "load", "save" and "saved" find their files
    RecordingView view;
    std::unique_ptr<Editor> form = std::make_unique<Editor>(view);
    QStringList log, waited; // what "check" steps recorded; where a paced run waited

    EditorFixture() {
        Editor& e = *form;
        view.form = &e;
        e.Form_Load();
        e.FreshStart = false;
        e.Form_Resize(false, EditorPlaces::kDesignClientWidth, EditorPlaces::kDesignClientHeight);
        InstallFileCommands(e, {}, Spelled); // no row looks at the choosers' folders
        // The timer as a real one would run it, on the view's clock: "after" lets it fire.
        e.OneShot.SetObserver(
            [this] { due = view.now + std::chrono::milliseconds(form->OneShot.Interval()); });
    }
    std::chrono::steady_clock::time_point due;
    // A file named in a script (its bytes percent-encoded), in `folder`; "-" names none.
    static std::string Path(const QString& name) {
        const QByteArray bytes = QByteArray::fromPercentEncoding(name.toUtf8());
        return name == "-" ? std::string() : (folder.toUtf8() + '/' + bytes).toStdString();
    }

    // Steps, separated by "; ": "pen N" chooses a pen; "press N", "release N", "click N" (press,
    // release, click), "move N" and "right N" (a right release) act on bar N, or on the frame
    // for N = 0; "away" moves over the window's background. "cell N V"
    // paints V into cell N, "touch N" marks cell N as changed by a run; "fresh", "busy", "yes",
    // "ok" set FreshStart, Busy and the answers; "file P" names a file. "start P" starts up with
    // file P ("-": none), "link L" with the address's fragment L, "shown" is the window's first
    // show. "Run", "Clear", "Reset", "close", "resize W H" and "minimised W H" are the commands and
    // window events; "arm WORD" arms the timer; "wait" lets an armed timer fire, "after MS" lets MS
    // milliseconds pass and a timer then due fire. "during [N]"
    // plays the steps after it at the Nth (50th) yield of the run that the next timer firing
    // starts; "check" records State(), "status" the status line's words. "slide N" moves the pace
    // slider to rung N; "fill A B V" puts V into cells A to B. "menu N" plays the steps after it
    // while the menu that a right release on bar N opens is open. "waiting N" notes the cell at
    // every wait of the paced run that the next timer firing starts, and plays the steps after it
    // at the Nth wait (none for 0), which they cut short.
    void Play(const QString& script) {
        Steps(script.split(QStringLiteral("; "), Qt::SkipEmptyParts));
    }
    void Steps(QStringList steps) {
        Editor& e = *form;
        while (!steps.isEmpty()) {
            const QStringList s = steps.takeFirst().split(QLatin1Char(' '));
            const QString& verb = s[0];
            const int n = s.value(1).toInt();
            const QString name = s.mid(1).join(' '); // a file name may hold blanks
            if (verb == "pen") e.lColor_Click(n);
            if ((verb == "press" || verb == "click") && n) e.Bar_MouseDown(n, 1);
            if (verb == "release" || verb == "click") n ? e.Bar_MouseUp(n, 1) : e.Panel_MouseUp(1);
            if (verb == "click" && n) e.Bar_Click(n);
            if (verb == "right") n ? e.Bar_MouseUp(n, 2) : e.Panel_MouseUp(2);
            if (verb == "move") n ? e.Bar_MouseMove(n, 0) : e.Panel_MouseMove(0);
            if (verb == "away") e.Form_MouseMove(0);
            if (verb == "cell") e.Machine.Cells[n] = std::uint8_t(s.value(2).toInt());
            if (verb == "cell") SetBarValue(e.Machine, e, n);
            if (verb == "touch") e.Machine.Touched[n] = true;
            if (verb == "fresh") e.FreshStart = true;
            if (verb == "busy") e.Busy = true;
            if (verb == "yes") view.yes = true;
            if (verb == "ok") view.ok = true;
            if (verb == "file") e.FileName = s[1].toStdString();
            if (verb == "file") e.ShowFileInCaption();
            if (verb == "start") e.Form_Load(), LoadStartupProgram(e, Path(name));
            if (verb == "link") e.Form_Load(), LoadStartupLink(e, name.toStdString());
            if (verb == "shown") e.Form_Shown();
            if (verb == "load" || verb == "save") view.fileAnswer = Spelled(Path(name));
            if (verb == "load") e.mnuLoad_Click();
            if (verb == "save") e.mnuSave_Click();
            if (verb == "saved") log << name + " holds " + Saved(name);
            if (verb == "Run") e.mnuRun_Click();
            if (verb == "Clear") e.mnuClear_Click();
            if (verb == "Reset") e.mnuGC_Click();
            if (verb == "close") {
                bool cancel = false;
                e.Form_QueryUnload(cancel);
                if (!cancel) e.Form_Unload();
            }
            if (verb == "resize" || verb == "minimised")
                e.Form_Resize(verb == "minimised", n, s.value(2).toInt());
            if (verb == "arm") e.OneShot.Arm(s.value(1).toStdString(), 10);
            if (verb == "wait" && e.OneShot.Counting()) e.OneShot_Timer();
            if (verb == "after") view.now += std::chrono::milliseconds(n);
            if (verb == "after" && e.OneShot.Counting() && due <= view.now) e.OneShot_Timer();
            if (verb == "check") log << State();
            if (verb == "status") log << Q(e.StatusText());
            if (verb == "slide") e.PaceSlider_Change(n);
            for (int i = n; verb == "fill" && i <= s.value(2).toInt(); ++i)
                e.Machine.Cells[i] = std::uint8_t(s.value(3).toInt());
            if (verb == "menu") {
                view.whileMenuOpen = [this, later = steps] { Steps(later); };
                steps = {"right " + s[1]};
            }
            if (verb == "waiting") {
                view.onWait = [this, n, later = steps](long wait) {
                    waited << QString::number(form->Machine.ProgPos);
                    if (wait == n) Steps(later);
                    return wait == n;
                };
                steps = {QStringLiteral("wait")};
            }
            if (verb == "during") { // a run that still goes a million yields on is stopped
                const long start = view.yields, at = n ? n : 50;
                view.onYield = [this, start, at, later = steps](long n) {
                    if (n == start + at) Steps(later);
                    if (n == start + 1'000'000) form->Machine.RequestStop(RunEnd::Steps);
                };
                steps = {QStringLiteral("wait")};
            }
        }
    }
    // A saved file: its size and the cells that are not 0.
    QString Saved(const QString& name) const {
        StripCodes codes{};
        if (!ReadStripFile(Path(name), codes)) return QStringLiteral("nothing");
        QStringList cells;
        for (int i = 0; i < kCellCount; ++i)
            if (codes[i]) cells << QStringLiteral("%1=%2").arg(i + 1).arg(codes[i]);
        return QStringLiteral("%1 bytes, %2")
            .arg(std::filesystem::file_size(Path(name)))
            .arg(cells.join(','));
    }

    // What the window shows and holds, leaving out what is as after start-up: the caption, the
    // Run item, a white frame, Busy, the pen (and the palette's mark where it differs), painted
    // and touched cells, marked bars, bars not in their cell's editing colour (a preview, a run's
    // colours), the bar captioned X (between runs), the hover bar, the run limit, the timer, a run
    // going on or done, the gap between bars, the file name, every menu (by its disabled items),
    // every question, the end of the program.
    QString State() const {
        const Editor& e = *form;
        QStringList out, palette, cells, touched, marks, shown, xs;
        for (int i = 0; i < kInstructionCount; ++i)
            if (view.palette[i]) palette << QString::number(i);
        for (int i = 1; i <= kCellCount; ++i) {
            const int code = e.Machine.Cells[i];
            if (code) cells << QStringLiteral("%1=%2").arg(i).arg(code);
            if (e.Machine.Touched[i]) touched << QString::number(i);
            if (e.Bars.At(i).border) marks << QString::number(i);
            if (e.Bars.At(i).caption == BarCaption::X) xs << QString::number(i);
            if (e.Bars.At(i).fill != EditColor(code)) shown << QString::number(i);
        }
        const QString pen = QString::number(e.PenCode);
        const std::string& word = e.OneShot.Tag();
        if (view.caption != "Mosaiq [Design]") out << Q(view.caption);
        if (e.mnuContext.mnuRun.Caption != "Run") out << "item " + Q(e.mnuContext.mnuRun.Caption);
        if (view.panelColor != kBlack) out << QStringLiteral("white");
        if (e.Busy) out << QStringLiteral("busy");
        out << "pen " + pen + (palette.join(',') == pen ? "" : " (" + palette.join(',') + ")");
        if (!cells.isEmpty()) out << "cells " + cells.join(',');
        if (!touched.isEmpty()) out << "touched " + touched.join(',');
        if (!marks.isEmpty()) out << "mark " + marks.join(',');
        if (!shown.isEmpty()) out << "preview " + shown.join(',');
        if (!e.Running && xs != QStringList{QStringLiteral("1")}) out << "X at " + xs.join(',');
        if (e.HoverBar != 0) out << QStringLiteral("hover %1").arg(e.HoverBar);
        if (e.Machine.RunLimit != 0) out << QStringLiteral("limit %1").arg(e.Machine.RunLimit);
        if (e.OneShot.Counting() || !word.empty())
            out << QStringLiteral("%1 %2 %3")
                       .arg(e.OneShot.Counting() ? "armed" : "word", Q(word))
                       .arg(e.OneShot.Interval());
        if (e.Running) out << QStringLiteral("running");
        if (!e.Running && e.LastRun.steps > 0)
            out << (e.LastRun.end == RunEnd::Stopped
                        ? QStringLiteral("stopped")
                        : QStringLiteral("ran %1").arg(e.LastRun.steps));
        if (e.Grid.gap != 12) out << QStringLiteral("gap %1").arg(e.Grid.gap);
        if (!e.FileName.empty()) out << "file " + Q(e.FileName);
        for (const FileRequest& r : view.requests)
            out << (r.kind == FileRequest::Kind::Open ? "Load" : "Save") +
                       (r.fileName.empty() ? "" : " at " + Q(r.fileName));
        out << view.menus << view.questions;
        if (view.ends > 0) out << QStringLiteral("ended");
        if (!waited.isEmpty()) out << "waits at " + waited.join(' ');
        const QString text = out.join(QStringLiteral("; "));
        return folder.isEmpty() ? text : QString(text).replace(folder + '/', "%/");
    }
};

} // namespace mosaiq::test
