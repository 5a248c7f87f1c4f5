#pragma once
// What the user is told when a file could not be used.

#include "core/services.h"
#include "store/files.h"
#include "store/listIndex.h"

#include <QString>

namespace ui {

// Says what went wrong with a reload of the list index, if anything did.
void reportIndex(store::IndexStatus status);
// Reloads the list index and says what went wrong, if anything did.
void reloadListIndex();

// Says why the file at path was not read or written: a file that is not an
// ordinary one and a file above limitBytes in a plain message, any other
// failure in failureMessage, with the critical icon unless failureStyle says
// otherwise.
void reportFile(store::FileStatus status, const QString& path, const QString& failureMessage,
                qint64 limitBytes = 0, int failureStyle = core::vbCritical);

} // namespace ui
