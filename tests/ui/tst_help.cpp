// Help > Contents: the help viewer on the compiled help file, the message when
// the help library cannot be loaded, the viewer's own report of a missing or
// damaged file, and a check of the help project's topics and links.

#include "KestrelFixture.h"
#include "app/frmMain.h"
#include "ui/ChmFile.h"
#include "ui/Forms.h"
#include "ui/HelpViewer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>

#include <memory>

using ui::HelpViewer;

namespace {

const QString kHelpFile = QStringLiteral(QUILLBOX_HELP_FILE);
const QString kHelpSources = QStringLiteral(QUILLBOX_HELP_SOURCE_DIR);
const QString kIntroduction = QStringLiteral("Introducing Quillbox.htm");

QByteArray helpFileBytes() {
    return KestrelFixture::readFile(kHelpFile);
}

// Clicks, with the mouse, the first link of the page shown that leads to href.
bool clickLink(QTextBrowser* browser, const QString& href) {
    QTextDocument* doc = browser->document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isAnchor() || fragment.charFormat().anchorHref() != href)
                continue;
            QTextCursor cursor(doc);
            cursor.setPosition(fragment.position() + fragment.length() / 2);
            browser->setTextCursor(cursor);
            browser->ensureCursorVisible();
            const QPoint at = browser->cursorRect(cursor).center();
            QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier, at);
            return true;
        }
    }
    return false;
}

QString pageText(const HelpViewer& viewer) {
    return viewer.browser()->toPlainText();
}

// Every topic, picture and stylesheet the help project names, and every link
// and picture of every topic, as (file, anchor) pairs.
struct HelpProject {
    QStringList files;    // [FILES] of the project
    QStringList contents; // Local entries of the table of contents and the index
    struct Link {
        QString from;
        QString file;
        QString anchor;
    };
    QList<Link> links;
};

QString readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

HelpProject readProject() {
    HelpProject project;
    bool inFiles = false;
    const QString hhp = readText(kHelpSources + QStringLiteral("/Quillbox.hhp"));
    for (QString line : hhp.split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'['))
            inFiles = line.compare(QLatin1String("[FILES]"), Qt::CaseInsensitive) == 0;
        else if (inFiles && !line.isEmpty())
            project.files << line;
    }
    static const QRegularExpression local(
        QStringLiteral(R"re(<param\s+name="Local"\s+value="([^"]*)")re"),
        QRegularExpression::CaseInsensitiveOption);
    for (const QString& name : {QStringLiteral("Quillbox.hhc"), QStringLiteral("Quillbox.hhk")})
        for (auto it = local.globalMatch(readText(kHelpSources + u'/' + name)); it.hasNext();)
            project.contents << it.next().captured(1);

    static const QRegularExpression link(QStringLiteral(R"re(\b(?:href|src)\s*=\s*"([^"]*)")re"),
                                         QRegularExpression::CaseInsensitiveOption);
    for (const QString& topic : project.files) {
        if (!topic.endsWith(QLatin1String(".htm")))
            continue;
        for (auto it = link.globalMatch(readText(kHelpSources + u'/' + topic)); it.hasNext();) {
            const QUrl url(it.next().captured(1));
            if (!url.scheme().isEmpty())
                continue; // web addresses leave the help
            const QString file = url.path().isEmpty() ? topic : url.path();
            project.links.append({topic, file, url.fragment()});
        }
    }
    return project;
}

bool hasAnchor(const QString& html, const QString& anchor) {
    const QRegularExpression named(
        QStringLiteral(R"re(\b(?:name|id)\s*=\s*"%1")re").arg(QRegularExpression::escape(anchor)),
        QRegularExpression::CaseInsensitiveOption);
    return named.match(html).hasMatch();
}

} // namespace

class HelpTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void contentsShowsIntroduction();
    void linksLeadToTheirTopics_data();
    void linksLeadToTheirTopics();
    void tableOfContentsOpensTopics();
    void oneViewerThatDoesNotBlock();
    void libraryThatCannotBeLoaded_data();
    void libraryThatCannotBeLoaded();
    void fileThatCannotBeOpened_data();
    void fileThatCannotBeOpened();

    void projectNamesExistingFiles();
    void everyTopicIsInTheContents();
    void linksResolve();
    void compiledFileHoldsEveryFileAndLink();

private:
    void requireHelpFile();
    HelpViewer& openContents();

    std::unique_ptr<KestrelFixture> fx_;
    QString programFolder_;
};

void HelpTest::init() {
    fx_ = std::make_unique<KestrelFixture>();
    programFolder_ = fx_->root() + QStringLiteral("/program");
    QDir().mkpath(programFolder_);
    ui::setProgramFolder(programFolder_);
}

void HelpTest::cleanup() {
    ui::setProgramFolder(QString());
    ui::ChmFile::setLibraryName(QStringLiteral("libchm.so.1"));
    fx_.reset();
}

void HelpTest::requireHelpFile() {
    if (!QFile::exists(kHelpFile))
        QSKIP("the help file was not built (QUILLBOX_HELP off or chmcmd missing)");
    if (!ui::ChmFile::ensureLibrary())
        QSKIP("chmlib (Debian libchm1) is not installed");
}

// Installs the compiled help file in the program's folder and chooses
// Help > Contents in the main window.
HelpViewer& HelpTest::openContents() {
    KestrelFixture::writeFile(programFolder_ + QStringLiteral("/Quillbox.chm"), helpFileBytes());
    ui::Forms::get<frmMain>().mnuHelpContents_Click();
    HelpViewer& viewer = ui::Forms::get<HelpViewer>();
    if (!QTest::qWaitForWindowExposed(&viewer))
        qWarning("the help viewer was not exposed");
    return viewer;
}

void HelpTest::contentsShowsIntroduction() {
    requireHelpFile();
    HelpViewer& viewer = openContents();

    QVERIFY(fx_->platform().messages.isEmpty());
    QVERIFY(viewer.isVisible());
    QVERIFY(viewer.fileOpen());
    QCOMPARE(viewer.helpFile(), programFolder_ + QStringLiteral("/Quillbox.chm"));
    QCOMPARE(viewer.currentTopic(), kIntroduction);
    QVERIFY(pageText(viewer).contains(QLatin1String("Quillbox is where you make and look after")));
    QCOMPARE(viewer.windowTitle(), QStringLiteral("Quillbox Help - Introducing Quillbox"));
    QVERIFY(!viewer.browser()->isBackwardAvailable());

    // The picture and the stylesheet of the page come out of the help file.
    QTextDocument* doc = viewer.browser()->document();
    const QVariant picture = doc->resource(QTextDocument::ImageResource, QUrl("quillbox.png"));
    QImage image;
    if (picture.userType() == QMetaType::QImage)
        image = picture.value<QImage>();
    else if (picture.userType() == QMetaType::QPixmap)
        image = picture.value<QPixmap>().toImage();
    else
        image.loadFromData(picture.toByteArray());
    QCOMPARE(image.size(), QSize(64, 64));
    QVERIFY(viewer.browser()
                ->loadResource(QTextDocument::StyleSheetResource, QUrl("quillbox.css"))
                .toByteArray()
                .contains("font-family"));
    // Nothing outside the help file is read.
    QVERIFY(viewer.browser()
                ->loadResource(QTextDocument::ImageResource, QUrl::fromLocalFile(kHelpFile))
                .isNull());

    // The table of contents lists the topics and marks the one shown.
    QCOMPARE(viewer.contents()->topLevelItemCount(), 7);
    QVERIFY(viewer.contents()->isVisibleTo(&viewer));
    QVERIFY(viewer.contents()->currentItem());
    QCOMPARE(viewer.contents()->currentItem()->text(0), QStringLiteral("Introducing Quillbox"));
}

void HelpTest::linksLeadToTheirTopics_data() {
    QTest::addColumn<QString>("href");
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QString>("heading");

    QTest::newRow("making a list") << "Making a New List.htm"
                                   << "Making a New List.htm"
                                   << "Making a new list";
    QTest::newRow("opening") << "Opening and Editing a List.htm"
                             << "Opening and Editing a List.htm"
                             << "Opening and editing a list";
    QTest::newRow("saving, at Save As") << "Saving a List.htm#saveas"
                                        << "Saving a List.htm"
                                        << "Save As: saving under another name";
    QTest::newRow("deleting") << "Deleting a List.htm"
                              << "Deleting a List.htm"
                              << "Deleting a list";
    QTest::newRow("import, at its section") << "Exporting and Importing Lists.htm#import"
                                            << "Exporting and Importing Lists.htm"
                                            << "When you already have a list of that name";
    QTest::newRow("what may be typed") << "What You Can Type.htm"
                                       << "What You Can Type.htm"
                                       << "Names of lists";
}

void HelpTest::linksLeadToTheirTopics() {
    QFETCH(QString, href);
    QFETCH(QString, topic);
    QFETCH(QString, heading);
    requireHelpFile();
    HelpViewer& viewer = openContents();

    QVERIFY2(clickLink(viewer.browser(), href), qPrintable("no link to " + href));
    QCOMPARE(viewer.currentTopic(), topic);
    QVERIFY(pageText(viewer).contains(heading));
    QVERIFY(!pageText(viewer).contains(QLatin1String("Topic not found")));
    QCOMPARE(viewer.contents()->currentItem()->data(0, Qt::UserRole).toString(), topic);

    // Every topic leads back to the introduction, and Back returns there too.
    QVERIFY(clickLink(viewer.browser(), kIntroduction));
    QCOMPARE(viewer.currentTopic(), kIntroduction);
    viewer.browser()->backward();
    QCOMPARE(viewer.currentTopic(), topic);
    viewer.browser()->backward();
    QCOMPARE(viewer.currentTopic(), kIntroduction);
}

void HelpTest::tableOfContentsOpensTopics() {
    requireHelpFile();
    HelpViewer& viewer = openContents();
    QTreeWidget* tree = viewer.contents();
    QTreeWidgetItem* deleting = tree->topLevelItem(4);
    QCOMPARE(deleting->text(0), QStringLiteral("Deleting a list"));

    const QRect row = tree->visualItemRect(deleting);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    QCOMPARE(viewer.currentTopic(), QStringLiteral("Deleting a List.htm"));
    QVERIFY(pageText(viewer).contains(QLatin1String("The list is deleted at once")));
}

void HelpTest::oneViewerThatDoesNotBlock() {
    requireHelpFile();
    HelpViewer& viewer = openContents();
    QVERIFY(clickLink(viewer.browser(), QStringLiteral("Deleting a List.htm")));

    // The viewer is an ordinary window beside the main window: no modal
    // dialog was shown, and nothing blocks the main window.
    QVERIFY(fx_->platform().shownDialogs.isEmpty());
    QVERIFY(!viewer.isModal());
    QCOMPARE(viewer.windowModality(), Qt::NonModal);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);

    // Help > Contents again brings the same window back to the introduction.
    ui::Forms::get<frmMain>().mnuHelpContents_Click();
    QCOMPARE(&ui::Forms::get<HelpViewer>(), &viewer);
    QCOMPARE(viewer.currentTopic(), kIntroduction);
    int viewers = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        viewers += qobject_cast<HelpViewer*>(w) != nullptr;
    QCOMPARE(viewers, 1);
}

void HelpTest::libraryThatCannotBeLoaded_data() {
    QTest::addColumn<QString>("library");
    QTest::newRow("library not installed") << "libchm-not-installed.so.1";
    QTest::newRow("library without the help functions") << "libc.so.6";
}

void HelpTest::libraryThatCannotBeLoaded() {
    QFETCH(QString, library);
    if (QFile::exists(kHelpFile))
        KestrelFixture::writeFile(programFolder_ + QStringLiteral("/Quillbox.chm"),
                                  helpFileBytes());
    ui::ChmFile::setLibraryName(library);

    ui::Forms::get<frmMain>().mnuHelpContents_Click();

    const QList<Message>& messages = fx_->platform().messages;
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].text, QStringLiteral("help files not properly installed"));
    QCOMPARE(messages[0].style, core::vbOKOnly);
    QCOMPARE(messages[0].title, QString());
    // Nothing else happens: no help window.
    QVERIFY(!ui::Forms::exists<HelpViewer>() || !ui::Forms::get<HelpViewer>().isVisible());
}

void HelpTest::fileThatCannotBeOpened_data() {
    QTest::addColumn<QString>("damage");
    QTest::newRow("no help file") << "missing";
    QTest::newRow("empty file") << "empty";
    QTest::newRow("garbage bytes") << "garbage";
    QTest::newRow("help file cut short in its directory") << "cut4000";
    QTest::newRow("help file cut short in its pages") << "cut10000";
    QTest::newRow("a folder of that name") << "folder";
}

void HelpTest::fileThatCannotBeOpened() {
    QFETCH(QString, damage);
    requireHelpFile();
    const QString path = programFolder_ + QStringLiteral("/Quillbox.chm");
    const QByteArray good = helpFileBytes();
    if (damage == QLatin1String("empty"))
        KestrelFixture::writeFile(path, QByteArray());
    else if (damage == QLatin1String("garbage")) {
        QByteArray bytes(8192, '\0');
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 7919 + 13) % 251);
        KestrelFixture::writeFile(path, bytes);
    } else if (damage.startsWith(QLatin1String("cut")))
        KestrelFixture::writeFile(path, good.left(damage.mid(3).toInt()));
    else if (damage == QLatin1String("folder"))
        QDir().mkpath(path);

    ui::Forms::get<frmMain>().mnuHelpContents_Click();

    // The viewer reports it in its own window; the program's message is
    // only for a help library that cannot be loaded.
    QVERIFY(fx_->platform().messages.isEmpty());
    HelpViewer& viewer = ui::Forms::get<HelpViewer>();
    QVERIFY(viewer.isVisible());
    QVERIFY(!viewer.fileOpen());
    QCOMPARE(viewer.currentTopic(), QString());
    QVERIFY(pageText(viewer).contains(QLatin1String("The help file could not be opened")));
    QVERIFY(pageText(viewer).contains(path));
    QVERIFY(!viewer.contents()->isVisibleTo(&viewer));

    // Once a good file is in place, Help > Contents shows the introduction.
    if (damage == QLatin1String("folder"))
        QDir(path).removeRecursively();
    KestrelFixture::writeFile(path, good);
    ui::Forms::get<frmMain>().mnuHelpContents_Click();
    QVERIFY(viewer.fileOpen());
    QCOMPARE(viewer.currentTopic(), kIntroduction);
    QVERIFY(pageText(viewer).contains(QLatin1String("Quillbox is where you make")));
}

void HelpTest::projectNamesExistingFiles() {
    const HelpProject project = readProject();
    QVERIFY(project.files.contains(kIntroduction));
    QCOMPARE(project.files.first(), kIntroduction);
    for (const QString& file : project.files) {
        const QString source = file == QLatin1String("quillbox.png")
                                   ? kHelpSources + QStringLiteral("/../ui/icons/") + file
                                   : kHelpSources + u'/' + file;
        QVERIFY2(QFile::exists(source), qPrintable(file + " is named but missing"));
    }
    QVERIFY(!project.contents.isEmpty());
    for (const QString& local : project.contents) {
        const QUrl url(local);
        QVERIFY2(project.files.contains(url.path()),
                 qPrintable(local + " of the contents is not in the project"));
        if (!url.fragment().isEmpty())
            QVERIFY2(hasAnchor(readText(kHelpSources + u'/' + url.path()), url.fragment()),
                     qPrintable(local + ": no such anchor"));
    }
}

void HelpTest::everyTopicIsInTheContents() {
    const HelpProject project = readProject();
    const QStringList topics =
        QDir(kHelpSources).entryList({QStringLiteral("*.htm")}, QDir::Files, QDir::Name);
    QVERIFY(topics.size() >= 7);
    for (const QString& topic : topics) {
        QVERIFY2(project.files.contains(topic), qPrintable(topic + " is not in the project"));
        QVERIFY2(project.contents.contains(topic),
                 qPrintable(topic + " is not in the table of contents"));
    }
}

void HelpTest::linksResolve() {
    const HelpProject project = readProject();
    QVERIFY(project.links.size() > 20);
    for (const HelpProject::Link& link : project.links) {
        const QString where = link.from + " -> " + link.file + '#' + link.anchor;
        QVERIFY2(project.files.contains(link.file), qPrintable(where + ": no such file"));
        if (!link.anchor.isEmpty())
            QVERIFY2(hasAnchor(readText(kHelpSources + u'/' + link.file), link.anchor),
                     qPrintable(where + ": no such anchor"));
    }
}

void HelpTest::compiledFileHoldsEveryFileAndLink() {
    requireHelpFile();
    ui::ChmFile chm;
    QVERIFY(chm.open(kHelpFile));
    const HelpProject project = readProject();
    for (const QString& file : project.files) {
        const auto content = chm.read(file);
        QVERIFY2(content && !content->isEmpty(), qPrintable(file + " is not in the help file"));
    }
    for (const HelpProject::Link& link : project.links)
        QVERIFY2(chm.read(link.file),
                 qPrintable(link.from + " links to " + link.file + ", not in the help file"));
    QVERIFY(!chm.read(QStringLiteral("No Such Topic.htm")));
}

QTEST_MAIN(HelpTest)
#include "tst_help.moc"
