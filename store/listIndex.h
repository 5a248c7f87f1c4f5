#pragma once
// The list index as the rest of the program names it: globals::ListNames and
// globals::ListCount, read-only views of the store's list index, with its
// reload and its lookup.

#include "store/ListStore.h"

#include <QString>
#include <QtGlobal>

#include <vector>

namespace globals {

// Entries 1..ListCount: the names of VocabularyLists.txt whose list file
// exists, in file order. Entry 0 is never used.
inline const std::vector<QString>& ListNames = store::ListStore::instance().table();
inline const qint16& ListCount = store::ListStore::instance().count();

// Rebuilds the list index from the index file (store::ListStore::reload).
store::Result LoadListIndex();

// The 1-based position of the first entry of table[1..count] equal to name
// without regard to letter case, or 0.
int FindListName(const QString& name, const std::vector<QString>& table, const qint16& count);

} // namespace globals
