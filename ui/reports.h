#pragma once
// What the user is told of what the store did: the one place where each
// outcome becomes its message.

#include "store/Result.h"

namespace ui {

// Says what went wrong, if anything did. A reload's problem that the reload
// before had too is not said again.
void report(const store::Result& result);
// Reloads the list index and says what went wrong, if anything did.
void reloadListIndex();

} // namespace ui
