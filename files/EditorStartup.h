#pragma once

#include <QString>

#include <functional>
#include <string>

namespace mosaiq {

class EditorWindow;

// What start-up shows before the editor: it gets the title to show and a call that releases the
// start-up, which it must make once it is done (when it closes, however that happens).
using SplashHandOver = std::function<void(const QString& title, std::function<void()> release)>;

// The editor's start-up (Form_Load): shows the splash and waits until it releases the start-up,
// gives the editor its start state, loads the program named by `commandLine` (the program's
// arguments joined by single blanks, as bytes) and shows the window.
void Form_Load(EditorWindow& window, const std::string& commandLine,
               const SplashHandOver& splash = {});

// The editor as the program runs it: creates the window with visible runs at `pace` (steps per
// second, 0 for full speed), starts it up and serves its events until the program ends. Needs a
// running QApplication; returns its exit code.
int RunEditor(const std::string& commandLine, int pace, const SplashHandOver& splash);

} // namespace mosaiq
