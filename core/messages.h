#pragma once
// Every message box text of the program, each one whole sentence with its
// arguments, so that what the user reads can be read here in one place.

#include <QString>
#include <QStringList>

namespace messages {

// A name as a message quotes it: a long one cut short with an ellipsis.
inline QString quoted(const QString& name) {
    constexpr int kLongest = 40;
    return QStringLiteral("\"%1\"").arg(
        name.size() > kLongest ? name.left(kLongest - 1) + QChar(0x2026) : name);
}
// The first few names, quoted, for a message about many.
inline QString someNames(const QStringList& names) {
    constexpr int kShown = 3;
    QStringList shown;
    for (const QString& name : names.mid(0, kShown))
        shown << quoted(name);
    return shown.join(QStringLiteral(", ")) +
           (names.size() > kShown ? QStringLiteral(", ...") : QString());
}

// Any file the program will not read or replace.
inline QString notAFile(const QString& path) {
    return QStringLiteral("%1 is not an ordinary file, so Quillbox has left it as it is.")
        .arg(path);
}
inline QString tooLarge(const QString& path, qint64 limitBytes) {
    return QStringLiteral("%1 is larger than %2 MB, more than a word list file can be, so Quillbox "
                          "has left it as it is.")
        .arg(path)
        .arg(limitBytes / (1024 * 1024));
}
// The index, when it could not be read whole: said once, and again whenever
// a change is refused because of it.
inline QString indexNotRead(const QString& path) {
    return QStringLiteral("Quillbox could not read %1.").arg(path);
}
inline QString indexLeftAlone(const QString& why) {
    return QStringLiteral("%1  Until Quillbox can read it, no list can be saved, deleted or "
                          "imported.")
        .arg(why);
}
inline QString nothingChanged(const QString& indexPath) {
    return QStringLiteral("Nothing was changed: Quillbox could not read all of %1.  Once it can "
                          "be read, please try again.")
        .arg(indexPath);
}
inline QString indexBusy() {
    return QStringLiteral("Another copy of Quillbox is changing the word lists.  Nothing was "
                          "changed; please try again in a moment.");
}

// Start-up.
inline QString notInstalled() {
    return QStringLiteral("Quillbox not properly installed.");
}
inline QString kestrelNotInstalled() {
    return QStringLiteral(" Kestrel not installed. ");
}
inline QString incorrectPassword() {
    return QStringLiteral("Incorrect Password");
}
inline QString exitingProgram() {
    return QStringLiteral("Exiting Program");
}

// The list index.
inline QString noPermission() {
    return QStringLiteral(
        "Don't have permission to run this program.  Contact your system administrator.");
}
inline QString tooManyListsInIndex(int limit) {
    return QStringLiteral("exceed maximum number of vocabularly lists ( > %1)").arg(limit);
}

// Lists and their files.
inline QString listNotRead(const QString& path) {
    return QStringLiteral("could not read %1.  It may have been moved or deleted.").arg(path);
}
inline QString indexFull(int limit) {
    return QStringLiteral("There are already %1 word lists, as many as Kestrel can hold.  Delete a "
                          "list before you save a new one.")
        .arg(limit);
}
inline QString indexNotWritten() {
    return QStringLiteral("could not write VocabularyLists.txt.  Do you have permission?");
}
inline QString listNotWritten(const QString& path) {
    return QStringLiteral("could not write %1.  Do you have permissions?").arg(path);
}
// No recovery journal can be kept: said once, until one can be kept again.
inline QString journalNotKept(const QString& folder) {
    return QStringLiteral("Quillbox cannot keep a copy of your unsaved words in %1.  Until you "
                          "save them, they are lost if Quillbox ends without saving.")
        .arg(folder);
}
inline QString listTooLarge(const QString& path, qint64 limitBytes) {
    return QStringLiteral(
               "The words would make %1 larger than %2 MB, more than a word list file can "
               "be, so Quillbox has not saved them.  They are still here, unsaved.")
        .arg(path)
        .arg(limitBytes / (1024 * 1024));
}
inline QString saved() {
    return QStringLiteral("Word list was saved.");
}
inline QString savedTitle() {
    return QStringLiteral("Success");
}
inline QString listNotDeleted(const QString& path) {
    return QStringLiteral("could not delete %1.  Do you have permissions?").arg(path);
}

// Help.
inline QString helpNotInstalled() {
    return QStringLiteral("help files not properly installed");
}

// Export and Import.
inline QString exchangeNotCreated(const QString& path) {
    return QStringLiteral("Error attempting to create %1. Do you have proper permission?")
        .arg(path);
}
inline QString exportedListNotRead(const QString& path) {
    return QStringLiteral("error attempting to open %1").arg(path);
}
inline QString importNotOpened(const QString& path) {
    return QStringLiteral("couldn't open import file %1").arg(path);
}
inline QString importHasErrors(const QString& path) {
    return QStringLiteral("%1 has errors in it.").arg(path);
}
inline QString importNamesUnusable(const QStringList& names, const QString& path) {
    return QStringLiteral("Skipped %1 of the lists in %2: their names cannot be file names (%3).")
        .arg(QString::number(names.size()), path, someNames(names));
}
inline QString importFilesNotRegular(const QStringList& names, const QString& path) {
    return QStringLiteral("Skipped %1 of the lists in %2: their list files are not ordinary files "
                          "(%3).")
        .arg(QString::number(names.size()), path, someNames(names));
}
inline QString importedListNotWritten(const QString& path) {
    return QStringLiteral("could not open %1 for writing.  Do you have proper permissions?")
        .arg(path);
}
inline QString importIndexNotWritten(const QString& path) {
    return QStringLiteral("could not update %1.  Do you have proper permissions?").arg(path);
}
inline QString importOverLimit(int skipped, const QString& path, int limit) {
    return QStringLiteral("%1 of the lists in %2 were not imported: Kestrel can hold no more "
                          "than %3 word lists.")
        .arg(QString::number(skipped), path, QString::number(limit));
}

} // namespace messages
