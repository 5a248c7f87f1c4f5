// Help > Contents: the help viewer on the compiled help file, the viewer's own
// report of a missing or damaged file, a help library that cannot be used,
// and the help project's links. Help > About: the About box.

#include "KestrelFixture.h"
#include "ScriptedPlatform.h"
#include "ui/Forms.h"
#include "ui/HelpViewer.h"
#include "ui/frmAbout.h"
#include "ui/look.h"

#include <QDir>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

#include <sys/stat.h>

class HelpTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { ui::Forms::unloadAll(); }
    void contents_data();
    void contents();
    void topicsAndLinks();
    void aboutBox();
};

// How many bytes of the compiled help file lie at its path (-1: no file, -2: a
// named pipe, which must not keep the program waiting),
// what the user follows (n > 0: Tab n times and Enter; n < 0: a click on the
// -n-th entry of the contents), and the topic then shown ("": the report page).
void HelpTest::contents_data() {
    QTest::addColumn<int>("bytes");
    QTest::addColumn<int>("follow");
    QTest::addColumn<QString>("topic");
    QTest::newRow("link to a section") << INT_MAX << 4 << QString("Saving a List.htm");
    QTest::newRow("table of contents") << INT_MAX << -5 << QString("Deleting a List.htm");
    QTest::newRow("no help file") << -1 << 0 << QString();
    QTest::newRow("a pipe in the help file's place") << -2 << 0 << QString();
    QTest::newRow("help file cut short in its topics") << 10000 << 0 << QString();
}

void HelpTest::contents() {
    QFETCH(int, bytes);
    QFETCH(int, follow);
    QFETCH(QString, topic);
    const QByteArray good = KestrelFixture::readFile(QUILLBOX_HELP_FILE);
    QTemporaryDir dir;
    const QString path = dir.filePath(ui::kHelpFileName);
    if (bytes >= 0)
        KestrelFixture::writeFile(path, good.left(bytes));
    else if (bytes == -2)
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    // Without a help library that can be used (libc has none of its functions)
    // nothing is shown, and the caller says so.
    ui::ChmFile::setLibraryName("libc.so.6");
    const bool shownWithoutLibrary = ui::showHelpTopic(path, ui::kFirstHelpTopic);
    ui::ChmFile::setLibraryName("libchm.so.1");
    QVERIFY(!shownWithoutLibrary && !ui::Forms::exists<ui::HelpViewer>());
    QVERIFY(ui::showHelpTopic(path, ui::kFirstHelpTopic));
    ui::HelpViewer& viewer = ui::Forms::get<ui::HelpViewer>();
    QTreeWidget* tree = viewer.contents();
    for (int i = 0; i <= follow; ++i)
        QTest::keyClick(viewer.browser(), i < follow ? Qt::Key_Tab : Qt::Key_Return);
    if (follow < 0)
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(tree->topLevelItem(-follow - 1)).center());
    QCOMPARE(viewer.currentTopic(), topic);
    // The topic's page, or the viewer's own report.
    QCOMPARE(viewer.browser()->toPlainText().contains(topic.isEmpty() ? "could not be opened"
                                                                      : "Topic not found"),
             topic.isEmpty());

    // Help > Contents again, the file now good: the same viewer, at the introduction.
    QFile::remove(path);
    KestrelFixture::writeFile(path, good);
    QVERIFY(ui::showHelpTopic(path, ui::kFirstHelpTopic));
    QCOMPARE(viewer.currentTopic(), ui::kFirstHelpTopic);
}

// Every link of the topics, the contents and the index leads to a file in the
// compiled help file.
void HelpTest::topicsAndLinks() {
    ui::ChmFile chm;
    QVERIFY2(chm.open(QUILLBOX_HELP_FILE), "no help file, or no chmlib (libchm1)");
    static const QRegularExpression link(R"re((?:href|src|"Local" value)="([^"#:]+))re");
    const QDir sources(QUILLBOX_HELP_SOURCE_DIR);
    for (const QString& name : sources.entryList({"*.htm", "*.hh?"})) {
        for (auto it = link.globalMatch(KestrelFixture::readFile(sources.filePath(name)));
             it.hasNext();) {
            const QString target = it.next().captured(1);
            QVERIFY2(chm.read(target), qPrintable(name + " links to a missing " + target));
        }
    }
}

// Help > About shows its text, filled in once: the same at every showing. OK
// closes the box (a box left open would throw).
void HelpTest::aboutBox() {
    ScriptedPlatform platform;
    QStringList seen;
    for (int showing = 0; showing < 2; ++showing) {
        platform.play<frmAbout>([&](frmAbout& box) {
            seen << ui::caption(box.label1);
            QTest::mouseClick(box.cmdOK, Qt::LeftButton);
        });
        ui::ShowModal(ui::Forms::get<frmAbout>());
        ui::setCaption(ui::Forms::get<frmAbout>().label1, "kept");
    }
    // The name, the credits, an empty line, the rights notice, the web address.
    QVERIFY(seen.value(0).contains(
        QRegularExpression("^Quillbox for Kestrel\r[^\r]+\r\r[^\r]+\r[^\r]+$")));
    QCOMPARE(seen.value(1), "kept");
}

QTEST_MAIN(HelpTest)
#include "tst_help.moc"
