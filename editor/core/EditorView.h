#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace mosaiq {

// What the file chooser is asked for. Paths are bytes, as the file system names files.
struct FileRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    std::string folder;   // the folder shown first
    std::string fileName; // the name proposed, may be empty
    std::string filter;   // "description|pattern"
    std::string title;
    std::string defaultSuffix; // given to a typed name without any extension; may be empty
};

// What the editor's rules need of the window system beyond the state they keep themselves: the
// modal pieces, the yield, the end of the program, and word that something the window draws
// from that state has changed. Every modal call returns only when the user is done.
class EditorView {
public:
    enum class Part { Caption, Palette, PanelColor, PanelSize, Status };

    virtual ~EditorView() = default;

    // Delivers pending window events to their handlers, then returns.
    virtual void Yield() = 0;
    // The clock that paces runs, and a wait on it: serves window events until `until`, or until
    // some event has been served, whichever comes first.
    virtual std::chrono::steady_clock::time_point Now() = 0;
    virtual void WaitUntil(std::chrono::steady_clock::time_point until) = 0;
    // Opens the pop-up menu at the pointer with the menu's item states as they are now; a chosen
    // item's handler has run by the time this returns.
    virtual void ShowContextMenu() = 0;
    virtual bool AskYesNo(std::string_view title, std::string_view text) = 0;    // true: Yes
    virtual bool AskOkCancel(std::string_view title, std::string_view text) = 0; // true: OK
    virtual void Inform(std::string_view title, std::string_view text) = 0;
    // An empty path means nothing was chosen.
    virtual std::string ChooseFile(const FileRequest& request) = 0;
    // Ends the process at once, also in the middle of a run.
    virtual void EndProgram() = 0;
    virtual void Changed(Part part) = 0;
};

} // namespace mosaiq
