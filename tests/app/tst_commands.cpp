// The commands as a user goes through them: each row starts the program on an
// installation, plays a script of menu commands, keys and dialog answers, and
// checks every file left on disk byte for byte, the messages shown and the
// window's state. In messages and paths, %K is the Kestrel folder and %R the
// installation's folder.

#include "KestrelFixture.h"
#include "Program.h"

#include <QTest>

namespace {

struct Row {
    Files before;
    QString script;
    Files changes; // the files that differ afterwards (kGone: removed)
    QString state; // Program::state(), or "ended <code>"
    QStringList messages;
    QStringList dialogs; // captions that must have been shown, in this order
};

// Lists as people leave them: animals with a byte-order mark, capitals and no last CR LF.
const Files S = files({"index", "animals|colors|fruit", "animals", "=\u00ef\u00bb\u00bfCat\r\nDOG",
                       "colors", "red", "fruit", "apple"});
const QString kNoList = QStringLiteral(" /  / (hidden) / unchanged / no list");

// The state of the window editing list with the editor's lines.
QString editing(const QString& list, const QString& editor, bool changed = false) {
    return QStringLiteral("%1 / category: %2 / %3 / %4 / editing")
        .arg(list, list.toLower(), editor, changed ? "changed" : "unchanged");
}

// As many lists as the index holds: "aaaa", "aaab", ... each with one word.
Files fullIndex() {
    Files out;
    QStringList names;
    for (int i = 0; i < 10000; ++i) {
        QString name;
        for (int n = i, k = 0; k < 4; ++k, n /= 26)
            name.prepend(QChar(u'a' + n % 26));
        names << name;
        out[name] = lines(QStringLiteral("word"));
    }
    out[QStringLiteral("index")] = lines(names.join(u'|'));
    return out;
}

void row(const char* name, const Files& before, const QString& script, const Files& changes,
         const QString& state, const QStringList& messages = {}, const QStringList& dialogs = {}) {
    QTest::newRow(name) << Row{before, script, changes, state, messages, dialogs};
}

} // namespace

Q_DECLARE_METATYPE(Row)

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void commands_data();
    void commands();
};

void CommandsTest::commands_data() {
    QTest::addColumn<Row>("row");
    const QString full =
        QStringLiteral("There are already 10000 word lists, as many as Kestrel can "
                       "hold.  Delete a list before you save a new one.");
    const QString saved = QStringLiteral("[Success] Word list was saved.");
    const QString duplicate = QStringLiteral(
        "frmDuplicate: Unfortunately,\r\r%1\r\ris already a category. What would you like to "
        "do?\r\r*  Replace the old category with the imported category\r*  Give the imported "
        "category a new name\r*  Just skip the imported category.");

    // Open
    row("open: Never Mind, the close box and OK with no row keep the unsaved words", S,
        "Open,colors; type,blue; Open,no,cancel; Open,no,close; Open,no,ok", {},
        editing("colors", "red|blue", true));
    row("open: no lists, only OK, then a list appears", files({"index", "gone"}),
        "Open,ok; file,birds,owl; file,index,gone|birds; Open,birds",
        files({"birds", "owl", "index", "gone|birds"}), editing("birds", "owl|"), {},
        {"frmOpen: No word lists.  \r\rUse 'File > New' to start one.",
         "frmOpen: Select the word list you want:"});
    row("open again, No: the unsaved words are gone", S,
        "Open,animals; type,cow; Open,no,animals; Undo", {}, editing("animals", "cat|dog|"));
    row("the question names the list as stored; Yes saves before the list is chosen",
        files({"index", "Animals|colors", "animals", "cat", "colors", "red"}),
        "Open,Animals; type,cow; Open,yes,cancel; Open,cancel", files({"animals", "cat|cow"}),
        editing("Animals", "cat|cow"), {},
        {"frmAreYouSure: 'Animals' has been changed since it was last saved.  Save it now?"});
    row("an earlier Yes does not answer a later No", S,
        "Open,colors; type,tan; Open,yes,cancel; type,sky; Open,no,cancel",
        files({"colors", "red|tan"}), editing("colors", "red|tansky", true));
    // Typing and the Edit menu
    row("typing: letters in small case, other keys refused", S, "Open,colors; type,Ab 1-z", {},
        editing("colors", "red|abz", true));
    row("typing: a refused key alone changes nothing", S, "Open,colors; type,9", {},
        editing("colors", "red|"));
    row("typing: Enter and Backspace", S,
        "Open,colors; type,sky; press,Return; press,Backspace; press,Backspace", {},
        editing("colors", "red|sk", true));
    row("the Delete key is a change: Open asks about it", S,
        "Open,colors; select,0,0; press,Delete; Open,yes,cancel", files({"colors", "ed"}),
        editing("colors", "ed|"));
    row("Alt with a key types nothing", S,
        "Open,colors; press,Alt+1; press,Alt+Q; press,Alt+.; press,Alt+Shift+Z", {},
        editing("colors", "red|"));
    row("undo of a replaced selection", S, "Open,animals; select,0,3; type,x; Undo", {},
        editing("animals", "cat|dog|", true));
    row("redo after undo", S, "Open,animals; select,0,3; type,xy; Undo; Undo; Redo", {},
        editing("animals", "x|dog|", true));
    row("cut and paste elsewhere", S, "Open,animals; select,0,3; Cut; select,3,0; Paste", {},
        editing("animals", "|dcatog|", true));
    row("copy alone changes nothing; the clip goes to another list", S,
        "Open,animals; select,5,3; Copy; Open,colors; Paste", {},
        editing("colors", "dogred|", true));
    row("paste before any copy deletes the selection", S, "Open,colors; select,0,2; Paste", {},
        editing("colors", "d|", true));
    {
        // The editor keeps its lines in blocks of a few dozen: an edit across their bounds.
        QStringList words, edited;
        for (int i = 1; i <= 100; ++i)
            words << QStringLiteral("w%1").arg(i);
        const QString text = words.join(QLatin1String("\r\n"));
        const int from = int(text.indexOf(QLatin1String("w31"))) + 1,
                  to = int(text.indexOf(QLatin1String("w34"))) + 2;
        edited = words.mid(0, 30) + QStringList{"wx4"} + words.mid(34);
        row("a long list: an edit across the editor's inner blocks, undone, redone, saved",
            with(S, files({"in/long", words.join(u'|')})),
            QStringLiteral("Open,colors; text,in/long; select,%1,%2; type,X; Undo; Redo; Save")
                .arg(from)
                .arg(to - from),
            files({"colors", edited.join(u'|')}), editing("colors", edited.join(u'|') + u'|'),
            {saved});
    }
    // Save and Save As
    row("save with nothing changed writes both files all the same", S,
        "Open,colors; file,index,-; Save", files({"index", "animals|colors|fruit"}),
        editing("colors", "red|"), {saved});
    row("save: empty lines dropped, the last word kept; a stale name leaves the index",
        files({"index", "Animals|ghost|colors|colors", "animals", "cat", "colors", "red"}),
        "Open,Animals; press,Return; press,Return; type,Emu; Save",
        files({"index", "Animals|colors|colors", "animals", "cat|emu"}),
        editing("Animals", "cat|||emu"), {saved});
    row("save: the words in small letters, in the code page",
        with(S, files({"in/w", "=CAT\r\n\u00c9t\u00e9\u0160\u0178"})),
        "Open,colors; text,in/w; Save", files({"colors", "=cat\r\n\u00e9t\u00e9\u0161\u00ff\r\n"}),
        editing("colors", "CAT|\u00c9t\u00e9\u0160\u0178"), {saved});
    row("save as: an empty or one-letter name is not taken", S,
        "Open,colors; type,tan; SaveAs,; SaveAs,b", {}, editing("colors", "red|tan", true));
    row("save as a new name: added in small letters, the file as typed", S,
        "Open,colors; type,tan; SaveAs,Earth Tones",
        files({"index", "animals|colors|fruit|earth tones", "Earth Tones", "red|tan"}),
        "Earth Tones / category: Earth Tones / red|tan / unchanged / editing");
    row("save as another list in capitals, Yes: its file, no new name", S,
        "Open,colors; type,tan; SaveAs,FRUIT,yes", files({"fruit", "red|tan"}),
        "FRUIT / category: FRUIT / red|tan / unchanged / editing", {},
        {"frmSaveAs: Type the new category name." + QString(110, u' ') +
         "Only 15 letters, please.  Please, no punctuation."});
    row("save as, No twice: each question names its list", S,
        "Open,colors; type,tan; SaveAs,animals,no; SaveAs,Fruit,no", {},
        editing("colors", "red|tan", true), {},
        {"frmReplaceReally: Sorry, but \r\r    animals\r\r is already a category.\rDo you want to "
         "replace it?",
         "frmReplaceReally: Sorry, but \r\r    Fruit\r\r is already a category.\rDo you want to "
         "replace it?"});
    {
        // More than Open reads: every save refuses, the words brought back too.
        const QByteArray big = QByteArray("abcdefghijklmnopqrstuvwxyz\r\n").repeated(600000);
        const QString refused = QStringLiteral(
            "The words would make %K/Vocab Categories/%1.txt larger than 16 MB, more than a word "
            "list file can be, so Quillbox has not saved them.  They are still here, unsaved.");
        row("more than 16 MB: Save, Save As, the question's Yes refuse, also after a restart",
            with(S, {{"in/big", big}}),
            "Open,colors; text,in/big; Save; SaveAs,Birds; Exit,yes; journal; restart,yes; Save",
            {{"journal colors", big}},
            editing("colors", QString::fromLatin1(big).replace("\r\n", "|"), true),
            {refused.arg("colors"), refused.arg("Birds"), refused.arg("colors"),
             refused.arg("colors")});
    }
    // New
    row("new: nothing written until the first save", S, "New,Birds; Undo; type,owl; Save",
        files({"index", "animals|colors|fruit|birds", "Birds", "owl"}), editing("Birds", "owl"),
        {saved});
    row("new: a one-letter name, or No then Cancel, keeps the unsaved words", S,
        "Open,colors; type,tan; New,no,b; New,no,cancel", {}, editing("colors", "red|tan", true));
    row("new: Yes saves the old list first", S, "Open,colors; type,tan; New,yes,Birds",
        files({"colors", "red|tan"}), editing("Birds", ""));
    row("new version of an existing list: empty until saved", S, "Open,fruit; New,Animals,new", {},
        editing("Animals", ""), {},
        {"frmAddCategory: Type the name for your new category." + QString(94, u' ') +
             "Only 15 letters, please. No punctuation, please.",
         "frmNewSure: 'Animals' is already a category.\rDo you want to make a new version or edit "
         "the current one?"});
    row("edit current: its words; the save adds no name", S, "New,ANIMALS,edit; type,cow; Save",
        files({"animals", "cat|dog|cow"}), editing("ANIMALS", "cat|dog|cow"), {saved});
    // Exit and the close box
    row("the close box with nothing changed ends at once", S, "Open,colors; Close", {}, "ended 0");
    row("the close box asks as Exit does", S, "Open,colors; type,tan; Close,yes",
        files({"colors", "red|tan"}), "ended 0");
    // Delete a List
    row("delete the open list: closed, and its name free again", S,
        "Open,colors; type,tan; Delete,colors; New,colors",
        {{"index", lines("animals|fruit")}, {"colors", kGone}}, editing("colors", ""));
    row("delete the open list: the window has no list", S, "Open,colors; type,tan; Delete,colors",
        {{"index", lines("animals|fruit")}, {"colors", kGone}}, kNoList);
    row("delete another list: the editor keeps its words", S, "Open,colors; type,tan; Delete,fruit",
        {{"index", lines("animals|colors")}, {"fruit", kGone}}, editing("colors", "red|tan", true));
    row("delete: Cancel, and OK with no row", files({"index", "Animals", "animals", "cat"}),
        "Delete,cancel; Delete,ok", {}, kNoList);
    row("a list that cannot be deleted stays, listed; the program goes on", S,
        "lock,fruit; Delete,fruit; unlock,fruit; Open,fruit", {}, editing("fruit", "apple|"),
        {"X could not delete %K/Vocab Categories/fruit.txt.  Do you have permissions?"});
    // Failed writes
    row("an index that cannot be written: the words stay, Exit stays, a later save works", S,
        "Open,colors; type,tan; lock,index; Save; Exit,yes; unlock,index; Save",
        files({"colors", "red|tan"}), editing("colors", "red|tan"),
        {"X could not write VocabularyLists.txt.  Do you have permission?",
         "X could not write VocabularyLists.txt.  Do you have permission?", saved});
    row("a folder that takes no new file: a new list fails, an old one is written in place", S,
        "New,Birds; type,owl; lock,kestrel/Vocab Categories; Save; Open,yes; SaveAs,colors,yes; "
        "unlock,kestrel/Vocab Categories",
        files({"colors", "owl"}), editing("colors", "owl"),
        {"X could not write %K/Vocab Categories/Birds.txt.  Do you have permissions?",
         "X could not write %K/Vocab Categories/Birds.txt.  Do you have permissions?"});
    row("a list deleted, then made again: its file as the new name spells it",
        files({"index", "Colors|fruit", "Colors", "red", "fruit", "apple"}),
        "Delete,Colors; wait; New,colors; type,tan; wait; Save",
        files({"index", "fruit|colors", "Colors", "=<gone>", "colors", "tan"}),
        editing("colors", "tan"), {saved});
    // The recovery journal: words typed since the last save survive the program's end.
    const QString recover = QStringLiteral(
        "frmRecover: Quillbox ended before the changes to '%1' were saved.\r\rDo you want those "
        "words back?");
    row("a recovered list saved: its file written, the journal gone", S,
        "Open,colors; type,tan; journal; restart,yes; type,sky; Save",
        files({"colors", "red|tansky"}), editing("colors", "red|tansky"), {saved});
    row("No at the next start gives the words up: not asked again", S,
        "Open,colors; type,tan; journal; restart,no; restart", {}, kNoList, {},
        {recover.arg("colors")});
    row("a new list never saved is offered back under its name", S,
        "New,Birds; type,owl; journal; restart,yes", files({"journal Birds", "=owl"}),
        editing("Birds", "owl", true), {}, {recover.arg("Birds")});
    row("saved, or given up for another list: no journal, nothing asked", S,
        "Open,colors; type,tan; journal; Save; type,sky; journal; Open,no,fruit; restart",
        files({"colors", "red|tan"}), kNoList, {saved});
    row("No to the question of Export keeps the words, and their journal", S,
        "Open,colors; type,tan; journal; Export,no,cancel; restart,yes",
        files({"journal colors", "=red\r\ntan"}), editing("colors", "red|tan", true));
    row("ended from outside: the newest words in the journal at once", S,
        "Open,colors; type,tan; journal; type,sky; sessionEnds",
        files({"journal colors", "=red\r\ntansky"}), "ended 0");
    row("Exit with No, or with nothing unsaved: no journal left", S,
        "Open,colors; type,tan; journal; Exit,no", {}, "ended 0");
    row("a journal with the file's own words asks nothing and goes", S, "left,colors,red; restart",
        {}, kNoList);
    row("a journal of a copy still running, or a pipe: passed over",
        with(S, files({"data/quillbox/journals/pipe.journal", "=<pipe>"})),
        "copy,colors,red|blue; restart", files({"journal colors", "=red\r\nblue\r\n"}), kNoList);
    row("a journal left by another copy is not written over: offered once this copy saved", S,
        "left,colors,red|alpha; Open,colors; type,bravo; journal; Save; restart,yes",
        files({"colors", "red|bravo", "journal colors", "=red\r\nalpha\r\n"}),
        editing("colors", "red|alpha|", true), {saved}, {recover.arg("colors")});
    row("journals of two lists: the one that waits is offered at the next start, though its list "
        "was opened and saved meanwhile; one of another Kestrel folder never",
        S,
        "left,birds,owl,/media/stick/Kestrel; left,colors,red|one; left,fruit,kiwi|two; "
        "restart,yes; "
        "Save; Open,fruit; type,z; journal; Save; restart,yes",
        files({"colors", "red|one", "fruit", "apple|z", "journal fruit", "=kiwi\r\ntwo\r\n",
               "journal birds", "=owl\r\n"}),
        editing("fruit", "kiwi|two|", true), {saved, saved},
        {recover.arg("colors"), recover.arg("fruit")});
    row("no journal can be kept: said once, the words stay in the editor",
        with(S, files({"data/quillbox", "not a folder"})),
        "Open,colors; type,tan; journal; type,sky; journal", {},
        editing("colors", "red|tansky", true),
        {"Quillbox cannot keep a copy of your unsaved words in %R/data/quillbox/journals.  Until "
         "you "
         "save them, they are lost if Quillbox ends without saving."});
    // Export
    row("export: the chosen lists in the order of the rows, as they are (UTF-8: in the code page)",
        with(S, files({"fruit", "=\u00ef\u00bb\u00bfApple\r\n\r\np\u00c3\u00a9ar"})),
        "Export,fruit+animals,@out.kte",
        files({"out.kte", "***animals|Cat|DOG|***fruit|Apple||p\u00e9ar"}), kNoList, {},
        {"file: Export File Name|KT Export File (*.kte)|*.kte"});
    row("export with no row chosen: an empty file", S, "Export,ok,@out.kte", files({"out.kte", ""}),
        kNoList);
    row("export cancelled, here or in the file dialog", S, "Export,cancel; Export,animals,@", {},
        kNoList);
    row("export after No: the lists as their files hold them", S,
        "Open,colors; type,tan; Export,no,colors,@out.kte", files({"out.kte", "***colors|red"}),
        editing("colors", "red|tan", true));
    // Import
    row("import: new lists at the end in file order, words small, empty lines dropped",
        with(S, files({"in.kte", "***Birds|OWL||robin|***fish"})), "Import,@in.kte",
        files({"index", "animals|colors|fruit|Birds|fish", "Birds", "owl|robin", "fish", ""}),
        kNoList, {}, {"file: Import file|Kt Export file (*.kte)|*.kte"});
    row("import: replace keeps the entry, skip keeps the list",
        with(S, files({"in.kte", "***Animals|lion|***COLORS|cyan"})), "Import,@in.kte,replace,skip",
        files({"animals", "lion"}), kNoList, {},
        {duplicate.arg("Animals"), duplicate.arg("COLORS")});
    row("import: rename refused (short, taken, cancelled), then accepted",
        with(S, files({"in.kte", "***animals|lion"})),
        "Import,@in.kte,rename+rename+rename+rename,b,FRUIT,cancel,Big Cats",
        files({"index", "animals|colors|fruit|Big Cats", "Big Cats", "lion"}), kNoList);
    row("import: one answer for the rest of that file only: skip, replace, rename each",
        with(S, files({"in.kte", "***animals|lion|***birds|owl|***colors|cyan|***fruit|kiwi"})),
        "Import,@in.kte,all+skip; Import,@in.kte,skip,skip,skip,skip; Import,@in.kte,all+replace; "
        "Import,@in.kte,all+rename,Big Cats,Birdies,cancel,skip",
        files({"index", "animals|colors|fruit|birds|Big Cats|Birdies", "birds", "owl", "animals",
               "lion", "colors", "cyan", "fruit", "kiwi", "Big Cats", "lion", "Birdies", "owl"}),
        kNoList, {},
        {duplicate.arg("animals"), duplicate.arg("animals"), duplicate.arg("animals"),
         duplicate.arg("colors")});
    row("import: a name twice in one file asks at the second",
        with(S, files({"in.kte", "***birds|owl|***Birds|robin"})), "Import,@in.kte,replace",
        files({"index", "animals|colors|fruit|birds", "birds", "robin"}), kNoList);
    row("import: a file that starts with a word", with(S, files({"in.kte", "owl|***birds"})),
        "Import,@in.kte", {}, kNoList, {"%R/in.kte has errors in it."});
    row("import: an empty file", with(S, files({"in.kte", ""})), "Import,@in.kte", {}, kNoList,
        {"couldn't open import file %R/in.kte"});
    row("import: names that cannot be file names skipped, in one message",
        with(S, files({"in.kte",
                       "***../evil|x|***ok|y|***a/b|***" + QString(300, u'z') + "/|z|***<"})),
        "Import,@in.kte", files({"index", "animals|colors|fruit|ok", "ok", "y"}), kNoList,
        {"Skipped 4 of the lists in %R/in.kte: their names cannot be file names (\"../evil\", "
         "\"a/b\", \"" +
         QString(39, u'z') + "\u2026\", ...)."});
    // What is on disk that is not an ordinary list file
    row("a dangling link as a list's file: never followed",
        with(S, files({"in.kte", "***birds|owl", "birds", "=<link>elsewhere/birds.txt"})),
        "Import,@in.kte; New,Birds; type,owl; Save", {}, editing("Birds", "owl", true),
        {"Skipped 1 of the lists in %R/in.kte: their list files are not ordinary files "
         "(\"birds\").",
         "%K/Vocab Categories/birds.txt is not an ordinary file, so Quillbox has left it as it "
         "is."});
    row("a link to a device as a list's file: left alone",
        with(S, files({"dev", "=<link>/dev/null"})), "New,dev; type,owl; Save", {},
        editing("dev", "owl", true),
        {"%K/Vocab Categories/dev.txt is not an ordinary file, so Quillbox has left it as it is."});
    row("an index that is a pipe: said once at start-up, every save refused, the words kept",
        with(S, files({"index", "=<pipe>"})), "Open,ok; New,Birds; type,owl; Save; Delete,ok", {},
        editing("Birds", "owl", true),
        {"%K/VocabularyLists.txt is not an ordinary file, so Quillbox has left it as it is.  Until "
         "Quillbox can read it, no list can be saved, deleted or imported.",
         "Nothing was changed: Quillbox could not read all of %K/VocabularyLists.txt.  Once it "
         "can be read, please try again."});
    row("an exchange file that is a pipe", with(S, files({"in.kte", "=<pipe>"})), "Import,@in.kte",
        {}, kNoList, {"%R/in.kte is not an ordinary file, so Quillbox has left it as it is."});
    row("a sparse list file of 100 GB is not opened", with(S, files({"colors", "=<sparse>"})),
        "Open,colors", {}, kNoList,
        {"%K/Vocab Categories/colors.txt is larger than 16 MB, more than a word list file can be, "
         "so Quillbox has left it as it is."});
    row("a sparse exchange file of 100 GB is not read", with(S, files({"in.kte", "=<sparse>"})),
        "Import,@in.kte", {}, kNoList,
        {"%R/in.kte is larger than 64 MB, more than a word list file can be, so Quillbox has "
         "left it as it is."});
    row("a sparse index of 100 GB: start-up goes on", with(S, files({"index", "=<sparse>"})), "",
        {}, kNoList,
        {"%K/VocabularyLists.txt is larger than 16 MB, more than a word list file can be, so "
         "Quillbox has left it as it is.  Until Quillbox can read it, no list can be saved, "
         "deleted or imported."});
    row("a name of 246 letters, imported, can be saved again",
        with(S, files({"in.kte", "***" + QString(246, u'a')})),
        "Import,@in.kte; Open," + QString(246, u'a') + "; type,b; Save",
        files({"index", "animals|colors|fruit|" + QString(246, u'a'), QString(246, u'a'), "b"}),
        editing(QString(246, u'a'), "b"), {saved});
    row("temporary files left by a crash are gone at the next start; the user's files stay",
        with(S,
             files({"kestrel/.quillbox-{inode}", "x", "kestrel/Vocab Categories/.quillbox-{inode}",
                    "y", "kestrel/.quillbox-backup", "z", "kestrel/.quillbox-Notes1", "z",
                    "data/quillbox/journals/.quillbox-{inode}", "w",
                    "data/quillbox/journals/.quillbox-notes", "w"})),
        "",
        files({"kestrel/.quillbox-{inode}", "=<gone>", "kestrel/Vocab Categories/.quillbox-{inode}",
               "=<gone>", "data/quillbox/journals/.quillbox-{inode}", "=<gone>"}),
        kNoList);
    row("a name typed by an input method keeps the 15-letter rule", S, "New,abcdefghijklm~xyz", {},
        editing("abcdefghijklmxy", ""));
    // Two copies of the program on one folder
    row("save as keeps a list that another copy added meanwhile; an export then has its words", S,
        "Open,colors; file,zebra,z; file,index,animals|colors|fruit|zebra; SaveAs,Birds; "
        "Export,birds,@out.kte",
        files({"index", "animals|colors|fruit|zebra|birds", "zebra", "z", "Birds", "red", "out.kte",
               "***birds|red"}),
        "Birds / category: Birds / red| / unchanged / editing");
    row("import starts from the index that another copy changed",
        with(S, files({"in.kte", "***Zebra|x"})),
        "Open,colors; file,zebra,z; file,index,animals|colors|fruit|zebra; Import,@in.kte,replace",
        files({"index", "animals|colors|fruit|zebra", "zebra", "x"}), editing("colors", "red|"));
    row("another copy keeps the index: nothing written, said so", S,
        "Open,colors; type,tan; hold; Save; release; Save", files({"colors", "red|tan"}),
        editing("colors", "red|tan"),
        {"Another copy of Quillbox is changing the word lists.  Nothing was changed; please try "
         "again in a moment.",
         saved});
    // A full index
    row("a full index: a new name is refused at every save; Save As an existing list saves",
        fullIndex(), "New,Extra; type,owl; Save; Open,yes; Exit,yes; SaveAs,aaab,yes",
        files({"aaab", "owl"}), editing("aaab", "owl"), {full, full, full});
    row("a full index: import stops at the limit",
        with(fullIndex(), files({"in.kte", "***aaab|x|***new|y|***newer|z"})),
        "Import,@in.kte,replace", files({"aaab", "x"}), kNoList,
        {"2 of the lists in %R/in.kte were not imported: Kestrel can hold no more than 10000 word "
         "lists."});
}

void CommandsTest::commands() {
    QFETCH(Row, row);
    KestrelFixture fx;
    fx.registerBoth();
    fx.write(row.before);
    if (row.script.contains("lock,")) {
        const QString why = setImmutable(fx.path("index"), true);
        setImmutable(fx.path("index"), false);
        if (!why.isEmpty())
            QSKIP(qPrintable("needs chattr +i: " + why));
    }
    Program program(fx.root());
    QCOMPARE(program.start(), std::nullopt);
    const std::optional<int> ended = program.run(row.script);

    QCOMPARE(ended ? QStringLiteral("ended %1").arg(*ended) : program.state(), row.state);
    QString messages = row.messages.join(u'\n');
    messages.replace(QLatin1String("%K"), fx.kestrelFolder()).replace("%R", fx.root());
    QCOMPARE(program.platform.shownMessages().join(u'\n'), messages);
    qsizetype at = 0; // each caption shown, in order, others between them
    for (const QString& caption : row.dialogs)
        QVERIFY2((at = program.platform.dialogs.indexOf(caption, at) + 1) > 0, qPrintable(caption));
    const Files expected = fx.after(row.before, row.changes);
    const Files found = fx.files();
    QCOMPARE(found.keys(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QVERIFY2(found[it.key()] == it.value(), qPrintable(it.key() + ": " + found[it.key()]));
}

QTEST_MAIN(CommandsTest)
#include "tst_commands.moc"
