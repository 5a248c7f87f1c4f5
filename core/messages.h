#pragma once
// Every message box text of the program, each one whole sentence with its
// arguments, so that what the user reads can be read here in one place.

#include <QString>

namespace messages {

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
inline QString importNameUnusable(const QString& name, const QString& path) {
    return QStringLiteral("The list named \"%1\" in %2 cannot be imported: its name cannot be a "
                          "file name. It was skipped.")
        .arg(name, path);
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
