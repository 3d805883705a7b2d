#pragma once

#include <QObject>

namespace mosaiq {

class EditorWindow;

// The Load and Save commands of the pop-up menu. Each asks for a path, reads or writes the file
// within its handler and hands its finishing steps to the window's one-shot timer, also when the
// chooser was cancelled or the file operation failed. A failure is told to the user and changes
// neither the strip, nor the file name, nor the caption.
class FileCommands : public QObject {
    Q_OBJECT
public:
    explicit FileCommands(EditorWindow& window);

    void mnuLoad_Click();
    void mnuSave_Click();

private:
    EditorWindow& w_;
};

} // namespace mosaiq
