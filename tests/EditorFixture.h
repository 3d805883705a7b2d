#pragma once

// A real editor window, started as the program starts it, with scripted modal answers and an end
// of program that only counts that it happened. Play() drives it with a short script of gestures
// and commands; State() describes what it shows, for comparing with a table's expectation.

#include "CellView.h"
#include "EditorHost.h"
#include "EditorStartup.h"
#include "EditorWindow.h"
#include "PaletteLabel.h"
#include "ScriptedDialogs.h"

#include <QTest>

#include <memory>

namespace mosaiq::test {

// A row of a table of scripts (see EditorFixture::Play): the script, and what the window shows
// at its "check" steps and at its end, joined by " | ".
inline void ScriptRow(const char* name, const QString& script, const QString& shown) {
    QTest::newRow(name) << script << shown;
}

struct EditorFixture {
    ScriptedDialogs dialogs;
    std::unique_ptr<EditorWindow> w = std::make_unique<EditorWindow>(dialogs);
    int endCalls = 0;
    QStringList log; // what "check" steps recorded

    // Unless `keepFreshStart`, the first-time menu is taken out of the way.
    explicit EditorFixture(const QString& commandLine = {}, bool keepFreshStart = false) {
        w->EndProgram = [this] { ++endCalls; };
        Form_Load(*w, commandLine);
        if (!keepFreshStart) {
            w->FreshStart = false;
            w->OneShot.SetEnabled(false);
        }
        QTest::qWait(1);
    }

    // Paints codes into cells first, first + 1, ... as the mouse would leave them.
    void SetCells(std::initializer_list<int> codes, int first = 1) {
        EditorHost host(*w);
        for (int code : codes) {
            w->Machine.Cells[first] = static_cast<std::uint8_t>(code);
            SetBarValue(w->Machine, host, first++);
        }
    }

    // Bar i's centre in the frame's coordinates, for mouse events.
    QPoint BarCenter(int i) const { return w->Panel->BarRect(i).center(); }
    // A point of the frame that no bar covers, below bar 1.
    QPoint GapPoint() const {
        QPoint p = BarCenter(1);
        while (w->Panel->BarAt(p) != 0)
            p.ry()++;
        return p;
    }

    // Steps, separated by "; ": "pen N" clicks the palette; "press N", "release N", "click N",
    // "move N" and "right N" (a right click) act on bar N, or on a gap of the frame for N = 0;
    // "away" moves over the window's background. "cell N V" paints V into cell N, "touch N" marks
    // cell N as changed by a run; "fresh", "busy", "yes", "ok" set FreshStart, Busy and the
    // answers; "file P" names a file. "Run", "Clear", "Reset", "close" and "resize W H" are the
    // commands; "arm WORD" arms the deferred-command timer; "wait [MS]" lets timers fire (200 ms)
    // and a run they start end. "during" plays the steps after it 300 ms into the run that has
    // been armed, and returns when that run has ended; "check" records State().
    void Play(const QString& script) {
        // Qt drops a move to where the pointer already is, as it may be since an earlier test.
        QTest::mouseMove(w.get(), QPoint(1, 1));
        Steps(script.split(QStringLiteral("; "), Qt::SkipEmptyParts));
    }
    void Steps(QStringList steps) {
        EditorWindow& e = *w;
        while (!steps.isEmpty()) {
            const QStringList s = steps.takeFirst().split(QLatin1Char(' '));
            const QString& verb = s[0];
            const int n = s.value(1).toInt();
            // Only the mouse steps name a bar; other steps' numbers are no bar index.
            const auto at = [&] { return n == 0 ? GapPoint() : BarCenter(n); };
            if (verb == "pen") QTest::mouseClick(e.lColor[n], Qt::LeftButton);
            if (verb == "press") QTest::mousePress(e.Panel, Qt::LeftButton, {}, at());
            if (verb == "release") QTest::mouseRelease(e.Panel, Qt::LeftButton, {}, at());
            if (verb == "click") QTest::mouseClick(e.Panel, Qt::LeftButton, {}, at());
            if (verb == "right") QTest::mouseClick(e.Panel, Qt::RightButton, {}, at());
            if (verb == "move") QTest::mouseMove(e.Panel, at());
            if (verb == "away") QTest::mouseMove(&e, QPoint(e.width() - 3, e.height() - 3));
            if (verb == "cell") SetCells({s.value(2).toInt()}, n);
            if (verb == "touch") e.Machine.Touched[n] = true;
            if (verb == "fresh") e.FreshStart = true;
            if (verb == "busy") e.Busy = true;
            if (verb == "yes") dialogs.yesNoAnswer = true;
            if (verb == "ok") dialogs.okCancelAnswer = true;
            if (verb == "file") e.FileName = s[1];
            if (verb == "file") e.ShowFileInCaption();
            if (verb == "Run") e.mnuRun_Click();
            if (verb == "Clear") e.mnuClear_Click();
            if (verb == "Reset") e.mnuGC_Click();
            if (verb == "close") e.close();
            if (verb == "resize") e.ResizeClientTwips(n, s.value(2).toInt());
            if (verb == "arm") e.OneShot.Arm(s.value(1), 10);
            if (verb == "wait") QTest::qWait(n ? n : 200);
            if (verb == "check") log << State();
            if (verb == "during") {
                auto played = std::make_shared<bool>(false);
                QTimer::singleShot(300, &e, [this, steps, played] {
                    Steps(steps);
                    *played = true;
                });
                QTRY_VERIFY(*played && !e.Running());
                return;
            }
        }
    }

    // What the window shows and holds, leaving out what is as after start-up: the caption, the
    // Run item, a white frame, Busy, the pen (and the palette's mark where it differs), painted
    // and touched cells, marked bars, bars not in their cell's editing colour (a preview, a run's
    // colours), the bar captioned X (between runs), the hover bar, the run limit, the timer, a run
    // going on or done, the gap between bars, the file name, every menu (by its disabled items),
    // every question, the ends of the program.
    QString State() const {
        const EditorWindow& e = *w;
        QStringList out, palette, cells, touched, marks, shown, xs;
        auto add = [&out](bool on, const QString& text) {
            if (on) out << text;
        };
        for (int i = 0; i < kInstructionCount; ++i)
            if (e.lColor[i]->Border()) palette << QString::number(i);
        for (int i = 1; i <= kCellCount; ++i) {
            const int code = e.Machine.Cells[i];
            if (code) cells << QStringLiteral("%1=%2").arg(i).arg(code);
            if (e.Machine.Touched[i]) touched << QString::number(i);
            if (e.Bars.At(i).border) marks << QString::number(i);
            if (e.Bars.At(i).caption == BarCaption::X) xs << QString::number(i);
            if (e.Bars.At(i).fill != EditColor(code)) shown << QString::number(i);
        }
        const QString pen = QString::number(e.PenCode);
        add(e.Caption() != QLatin1String("Mosaiq [Design]"), e.Caption());
        add(e.mnuRun->text() != QLatin1String("Run"), "item " + e.mnuRun->text());
        add(e.Panel->PanelColor() != kBlack, QStringLiteral("white"));
        add(e.Busy, QStringLiteral("busy"));
        add(true, "pen " + pen + (palette.join(',') == pen ? "" : " (" + palette.join(',') + ")"));
        add(!cells.isEmpty(), "cells " + cells.join(','));
        add(!touched.isEmpty(), "touched " + touched.join(','));
        add(!marks.isEmpty(), "mark " + marks.join(','));
        add(!shown.isEmpty(), "preview " + shown.join(','));
        add(!e.Running() && xs != QStringList{QStringLiteral("1")}, "X at " + xs.join(','));
        add(e.HoverBar != 0, QStringLiteral("hover %1").arg(e.HoverBar));
        add(e.Machine.RunLimit != 0, QStringLiteral("limit %1").arg(e.Machine.RunLimit));
        add(e.OneShot.Enabled() || !e.OneShot.Tag().isEmpty(),
            ((e.OneShot.Enabled() ? "armed " : "word ") + e.OneShot.Tag()).trimmed());
        add(e.Running(), QStringLiteral("running"));
        add(!e.Running() && e.LastRun().steps > 0,
            e.LastRun().end == RunEnd::Stopped ? QStringLiteral("stopped")
                                               : QStringLiteral("ran %1").arg(e.LastRun().steps));
        const int gap = e.Bars.At(2).left - e.Bars.At(1).width;
        add(gap != 12, QStringLiteral("gap %1").arg(gap));
        add(!e.FileName.isEmpty(), "file " + e.FileName);
        for (const auto& menu : dialogs.menus)
            out << "menu off: " + menu.Disabled();
        out << dialogs.questions;
        add(endCalls > 0, QStringLiteral("ended"));
        add(!e.isVisible(), QStringLiteral("hidden"));
        return out.join(QStringLiteral("; "));
    }
};

} // namespace mosaiq::test
