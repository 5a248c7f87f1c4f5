#pragma once
// The list index: the in-memory copy of VocabularyLists.txt (globals::ListNames
// and globals::ListCount), its reload, its lookup and the index file's writer.

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <vector>

namespace globals {

// Rebuilds the list index from the index file, keeping the names whose list
// file exists. Ends the program when the list folder cannot be created or more
// than 10000 names have files.
void LoadListIndex();

// The 1-based position of the first entry equal to name without regard to
// letter case, or 0.
int FindListName(const QString& name, const std::vector<QString>& table, const qint16& count);

} // namespace globals

namespace store {

// Entries 1..ListCount as held.
QStringList currentListNames();

// Replaces the index file with lines, atomically. False when it could not be written.
bool writeIndexFile(const QStringList& lines);

} // namespace store
