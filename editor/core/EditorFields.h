#pragma once

#include "Machine.h"
#include "OneShotTimer.h"
#include "RunProgram.h"

#include <cstdint>
#include <string>

namespace mosaiq {

// One item of the pop-up menu: its caption and whether it can be chosen. The menu is only ever
// seen while it is open, so whoever opens it takes these states as they are at that moment.
struct MenuItem {
    std::string Caption;
    bool Enabled = true;
};

// The pop-up menu (mnuContext), items in display order; separators carry no state.
struct ContextMenu {
    MenuItem mnuLoad{"Load ..."};
    MenuItem mnuSave{"Save ..."};
    MenuItem mnuRun{std::string(kRunCaptionRun)};
    MenuItem mnuGC{"Reset Data"};
    MenuItem mnuClear{"Clear All"};
    MenuItem mnuClose{"Close Menu"};
};

// Everything the editor window holds besides what it shows: the strip and the machine registers,
// the editor's own fields, the deferred-command timer and the menu's item states. Fields keep the
// names the rest of the program gives them. Only the user-interface thread touches them; a run
// reads them afresh after every yield, since handlers may change them meanwhile.
struct EditorFields {
    MachineState Machine;
    std::uint8_t PenCode = 0;  // the code the mouse paints, 0 to 7
    std::int32_t HoverBar = 0; // the bar showing the pen's preview, 0 for none
    bool FreshStart = false;   // from start-up until the first press on a bar or first-time menu
    bool Busy = false;         // a load or save is pending; the bars ignore the mouse
    std::string FileName;      // the program file, as the file system names it; empty for none
    std::string AppTitle = "Mosaiq";
    std::string HandOverMark; // start-up waits until the splash empties it
    OneShotTimer OneShot;
    ContextMenu mnuContext;

    // The dispatcher's bookkeeping: a run is going on; a "run" fell due meanwhile; the last end.
    bool Running = false;
    bool PendingRun = false;
    RunResult LastRun;
};

} // namespace mosaiq
