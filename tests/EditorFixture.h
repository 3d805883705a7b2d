#pragma once

// A real editor window, started as the program starts it, with scripted modal answers and an end
// of program that only records that it happened.

#include "CellView.h"
#include "EditorHost.h"
#include "EditorStartup.h"
#include "EditorWindow.h"
#include "ScriptedDialogs.h"

#include <QTest>

#include <initializer_list>
#include <memory>

namespace mosaiq::test {

struct EditorFixture {
    ScriptedDialogs dialogs;
    std::unique_ptr<EditorWindow> w;
    int endCalls = 0;

    // Starts the editor; unless `keepFreshStart`, the first-time menu is taken out of the way.
    explicit EditorFixture(const QString& commandLine = {}, bool keepFreshStart = false) {
        w = std::make_unique<EditorWindow>(dialogs);
        w->EndProgram = [this] { ++endCalls; };
        Form_Load(*w, commandLine);
        if (!keepFreshStart) {
            w->FreshStart = false;
            w->OneShot.SetEnabled(false);
        }
        QTest::qWait(1);
    }

    // Paints codes into cells 1, 2, ... as the mouse would leave them.
    void SetCells(std::initializer_list<int> codes, int first = 1) {
        EditorHost host(*w);
        int i = first;
        for (int code : codes) {
            w->Machine.Cells[i] = static_cast<std::uint8_t>(code);
            SetBarValue(w->Machine, host, i++);
        }
    }

    // Where bar i is, in window coordinates, for mouse events on the frame.
    QPoint BarCenter(int i) const { return w->Panel->BarRect(i).center(); }
};

} // namespace mosaiq::test
