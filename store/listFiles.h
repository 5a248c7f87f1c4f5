#pragma once
// Where the lists live, and the list files' format. The index file and the
// list folder are under Kestrel's folder, whose text is used as read (a
// trailing separator gives a doubled one).

#include <QByteArray>
#include <QString>

namespace store {

QString indexFilePath();  // <Kestrel folder>/VocabularyLists.txt
QString listFolderPath(); // <Kestrel folder>/Vocab Categories/
// <Kestrel folder>/Vocab Categories/<name>.txt, spelled as given.
QString listFilePath(const QString& name);
// <Kestrel folder>/.quillbox.lock: the index's lock.
QString indexLockPath();

// A list file's lines as the editor shows them: in small letters, each
// followed by CR LF.
QString editorText(const QByteArray& listFile);

// The editor's text as the list file's bytes, in one pass: each non-empty
// line once, in small letters, followed by CR LF; line feeds and empty lines
// dropped; a last word without a line break kept.
QByteArray listFileBytes(const QString& editorText);

} // namespace store
