#include "ui/HelpViewer.h"

#include "ui/Forms.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QHeaderView>
#include <QIcon>
#include <QKeySequence>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtEndian>

#include <algorithm>
#include <vector>

namespace ui {

namespace {

const QString kScheme = QStringLiteral("chm");
const QString kViewerTitle = QStringLiteral("Quillbox Help");

// The contents file's name from the help file's #SYSTEM object: a version,
// then records of a 16-bit code, a 16-bit length and that many bytes; code 0
// is the contents file, NUL-terminated.
QString contentsFileName(const QByteArray& system) {
    qsizetype at = 4;
    while (at + 4 <= system.size()) {
        const auto code = qFromLittleEndian<quint16>(system.constData() + at);
        const auto length = qFromLittleEndian<quint16>(system.constData() + at + 2);
        at += 4;
        if (at + length > system.size())
            break;
        if (code == 0) {
            QByteArray name = system.mid(at, length);
            const qsizetype nul = name.indexOf('\0');
            if (nul >= 0)
                name.truncate(nul);
            return QString::fromUtf8(name);
        }
        at += length;
    }
    return QString();
}

struct ContentsEntry {
    int depth;
    QString name;
    QString local;
};

// The entries of a contents file (.hhc): each <OBJECT type="text/sitemap">
// with its Name and Local parameters, nested by the <UL> around it.
std::vector<ContentsEntry> parseContents(const QString& hhc) {
    static const QRegularExpression token(
        QStringLiteral(R"re(<ul\b[^>]*>|</ul\s*>|<object\b([^>]*)>(.*?)</object\s*>)re"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression param(
        QStringLiteral(R"re(<param\s+name\s*=\s*"([^"]*)"\s+value\s*=\s*"([^"]*)")re"),
        QRegularExpression::CaseInsensitiveOption);
    std::vector<ContentsEntry> entries;
    int depth = 0;
    for (auto it = token.globalMatch(hhc); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString whole = match.captured(0);
        if (whole.startsWith(QLatin1String("</"))) {
            depth = qMax(0, depth - 1);
            continue;
        }
        if (whole.startsWith(QLatin1String("<ul"), Qt::CaseInsensitive)) {
            ++depth;
            continue;
        }
        if (!match.captured(1).contains(QLatin1String("text/sitemap"), Qt::CaseInsensitive))
            continue;
        ContentsEntry entry{qMax(1, depth), QString(), QString()};
        for (auto p = param.globalMatch(match.captured(2)); p.hasNext();) {
            const QRegularExpressionMatch pm = p.next();
            const QString value = QTextDocumentFragment::fromHtml(pm.captured(2)).toPlainText();
            if (pm.captured(1).compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0)
                entry.name = value;
            else if (pm.captured(1).compare(QLatin1String("Local"), Qt::CaseInsensitive) == 0)
                entry.local = value;
        }
        if (!entry.name.isEmpty())
            entries.push_back(entry);
    }
    return entries;
}

QString topicOf(const QUrl& url) {
    QString path = url.path(QUrl::FullyDecoded);
    while (path.startsWith(u'/'))
        path.remove(0, 1);
    return path;
}

QString pageHtml(const QString& heading, const QString& body) {
    return QStringLiteral("<html><head><title>%1</title></head><body>"
                          "<h2>%1</h2>%2</body></html>")
        .arg(heading.toHtmlEscaped(), body);
}

} // namespace

// Topics, pictures and stylesheets come out of the help file, and nothing
// from anywhere else.
class HelpViewer::Browser : public QTextBrowser {
public:
    Browser(const HelpViewer& viewer, QWidget* parent) : QTextBrowser(parent), viewer_(viewer) {}
    QVariant loadResource(int type, const QUrl& name) override {
        return viewer_.loadResource(type, name);
    }

private:
    const HelpViewer& viewer_;
};

HelpViewer::HelpViewer() {
    setWindowTitle(kViewerTitle);
    setWindowIcon(QIcon(QStringLiteral(":/quillbox/quillbox.png")));
    resize(920, 640);

    contents_ = new QTreeWidget;
    contents_->setHeaderHidden(true);
    contents_->setRootIsDecorated(false);
    contents_->setColumnCount(1);
    browser_ = new Browser(*this, nullptr);
    browser_->setOpenLinks(false);
    browser_->setOpenExternalLinks(false);

    splitter_ = new QSplitter(this);
    splitter_->addWidget(contents_);
    splitter_->addWidget(browser_);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({240, 680});
    setCentralWidget(splitter_);

    QToolBar* bar = addToolBar(QStringLiteral("Navigation"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    back_ = bar->addAction(QStringLiteral("Back"), browser_, &QTextBrowser::backward);
    back_->setShortcut(QKeySequence::Back);
    forward_ = bar->addAction(QStringLiteral("Forward"), browser_, &QTextBrowser::forward);
    forward_->setShortcut(QKeySequence::Forward);
    home_ = bar->addAction(QStringLiteral("Home"), browser_, &QTextBrowser::home);
    back_->setEnabled(false);
    forward_->setEnabled(false);
    home_->setEnabled(false);

    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::anchorClicked, this, &HelpViewer::linkClicked);
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpViewer::pageChanged);
    connect(contents_, &QTreeWidget::itemClicked, this, &HelpViewer::contentsClicked);
    connect(contents_, &QTreeWidget::itemActivated, this, &HelpViewer::contentsClicked);
}

HelpViewer::~HelpViewer() = default;

QUrl HelpViewer::topicUrl(const QString& topic) {
    return QUrl(kScheme + QStringLiteral(":/")).resolved(QUrl(topic));
}

void HelpViewer::displayTopic(const QString& helpFile, const QString& topic) {
    helpFile_ = helpFile;
    const QUrl url = topicUrl(topic);
    // A damaged file may open and still not give up its pages: the first one
    // must be readable.
    if (!chm_.open(helpFile) || !chm_.read(topicOf(url))) {
        chm_.close();
        showReport();
        return;
    }
    loadContents();
    home_->setEnabled(true);
    const bool sameDocument =
        browser_->source().adjusted(QUrl::RemoveFragment) == url.adjusted(QUrl::RemoveFragment);
    browser_->setSource(url);
    if (sameDocument)
        browser_->reload(); // the file was opened again: show what it holds now
    browser_->clearHistory();
    pageChanged(browser_->source());
}

QString HelpViewer::currentTopic() const {
    if (!chm_.isOpen())
        return QString();
    return topicOf(browser_->source());
}

void HelpViewer::showReport() {
    contents_->clear();
    contents_->hide();
    home_->setEnabled(false);
    browser_->clearHistory();
    browser_->setHtml(
        pageHtml(QStringLiteral("The help could not be shown"),
                 QStringLiteral("<p>The help file could not be opened:</p><p><b>%1</b></p>"
                                "<p>It is missing, cannot be read, or is damaged. Installing "
                                "Quillbox again puts it back.</p>")
                     .arg(helpFile_.toHtmlEscaped())));
    back_->setEnabled(false);
    forward_->setEnabled(false);
    setWindowTitle(kViewerTitle);
}

void HelpViewer::loadContents() {
    contents_->clear();
    QString hhc;
    if (const auto system = chm_.read(QStringLiteral("/#SYSTEM"))) {
        const QString name = contentsFileName(*system);
        if (!name.isEmpty())
            if (const auto file = chm_.read(name))
                hhc = QString::fromUtf8(*file);
    }
    std::vector<QTreeWidgetItem*> parents;
    for (const ContentsEntry& entry : parseContents(hhc)) {
        parents.resize(std::min<std::size_t>(parents.size(), std::size_t(entry.depth - 1)));
        auto* item =
            parents.empty() ? new QTreeWidgetItem(contents_) : new QTreeWidgetItem(parents.back());
        item->setText(0, entry.name);
        item->setData(0, Qt::UserRole, entry.local);
        parents.push_back(item);
    }
    contents_->expandAll();
    contents_->setVisible(contents_->topLevelItemCount() > 0);
}

void HelpViewer::linkClicked(const QUrl& url) {
    if (url.scheme() == kScheme) {
        browser_->setSource(url);
        return;
    }
    // A link to a web page or an e-mail address leaves the help for the
    // desktop's own program.
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
        scheme == QLatin1String("mailto"))
        QDesktopServices::openUrl(url);
}

void HelpViewer::contentsClicked(QTreeWidgetItem* item) {
    const QString local = item ? item->data(0, Qt::UserRole).toString() : QString();
    if (!local.isEmpty() && chm_.isOpen())
        browser_->setSource(topicUrl(local));
}

void HelpViewer::pageChanged(const QUrl& url) {
    // Called while the browser's history still has the page before.
    const QString title = browser_->documentTitle();
    setWindowTitle(title.isEmpty() ? kViewerTitle : kViewerTitle + QStringLiteral(" - ") + title);
    const QString topic = topicOf(url);
    QTreeWidgetItem* match = nullptr;
    for (QTreeWidgetItemIterator it(contents_); *it && !match; ++it) {
        const QUrl local = topicUrl((*it)->data(0, Qt::UserRole).toString());
        if (topicOf(local).compare(topic, Qt::CaseInsensitive) == 0)
            match = *it;
    }
    contents_->setCurrentItem(match);
}

QVariant HelpViewer::loadResource(int type, const QUrl& url) const {
    const QUrl resolved = url.isRelative() ? browser_->source().resolved(url) : url;
    if (resolved.scheme() != kScheme || !chm_.isOpen())
        return QVariant();
    const QString topic = topicOf(resolved);
    if (auto content = chm_.read(topic))
        return *content;
    if (type != QTextDocument::HtmlResource)
        return QVariant();
    return pageHtml(
        QStringLiteral("Topic not found"),
        QStringLiteral("<p>The help file has no topic <b>%1</b>.</p>").arg(topic.toHtmlEscaped()));
}

} // namespace ui
