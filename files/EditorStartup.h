#pragma once

#include <QString>

#include <functional>

namespace mosaiq {

class EditorWindow;

// What start-up shows before the editor: it gets the window whose HandOverMark it must empty when
// it is done. Start-up waits for the mark through the event loop.
using SplashHandOver = std::function<void(EditorWindow&)>;

// The editor's start-up: sets the caption, the bars, the palette and the menu, loads the program
// named by `commandLine` (the program's arguments joined by single blanks) and shows the window.
void Form_Load(EditorWindow& window, const QString& commandLine, const SplashHandOver& splash = {});

} // namespace mosaiq
