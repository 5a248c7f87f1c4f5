#pragma once
// The program's shared state, alive for the whole run. The shared procedures
// that work on it are declared by the subsystem that owns them:
// LoadListIndex and FindListName in store/listIndex.h, SignalRejection in
// editing/rejection.h, GetRegistryText in app/registry.h, ... The list index
// itself (ListNames, ListCount) belongs to the store: store/listIndex.h.

#include <QString>
#include <QtGlobal>

#include <array>

namespace globals {

// The most lists the index holds.
constexpr int kMaxLists = 10000;

// Kestrel's folder as read from its application-path entry; never changed
// after start-up. Every data path starts with it.
inline QString KestrelFolder;

// The list being edited; empty while none is open.
inline QString CurrentCategory;

// Set by every accepted key, Cut and Paste; cleared by Open, New, every save
// and the deletion of the current list.
inline bool ListChanged = false;

// HelpText[1]: welcome instructions, HelpText[2]: editing instructions.
inline std::array<QString, 3> HelpText;

// Dialog outcomes.
inline bool replaceConfirmed = false;
inline QString importCategory;
inline bool skipCategory = false;
inline bool renameConfirmed = false;

// Back to the state of a fresh process (tests start each case from here,
// with the store's reset).
inline void resetState() {
    KestrelFolder.clear();
    CurrentCategory.clear();
    ListChanged = false;
    HelpText = {};
    replaceConfirmed = false;
    importCategory.clear();
    skipCategory = false;
    renameConfirmed = false;
}

} // namespace globals
