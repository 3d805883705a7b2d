#pragma once

#include "Dialogs.h"

#include <QString>

namespace mosaiq {

// The folder the Load or Save chooser of this process opens in when no program file has been
// named yet: the rule of ChooserFolder over where this executable lies and the user's folders.
QString InitialFolder(Dialogs::FileKind kind);

} // namespace mosaiq
