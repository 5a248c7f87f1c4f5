#pragma once
// The help viewer: one window for the whole run, beside the main window and
// never blocking it, that shows the topics of the compiled help file with a
// table of contents, links between topics, Back and Forward. The file is
// read through chmlib (ui/ChmFile.h); a file that is missing or cannot be read
// is reported in the viewer's own page.

#include "ui/ChmFile.h"
#include "ui/help.h"

#include <QMainWindow>
#include <QString>
#include <QUrl>

class QAction;
class QSplitter;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace ui {

class HelpViewer : public QMainWindow {
    Q_OBJECT
public:
    HelpViewer();
    ~HelpViewer() override;

    // Opens helpFile (again, so that a file installed meanwhile is found) and
    // shows topic, or the report page when the file cannot be opened.
    void displayTopic(const QString& helpFile, const QString& topic);

    bool fileOpen() const { return chm_.isOpen(); }
    QString helpFile() const { return helpFile_; }
    // The topic shown ("Saving a List.htm"), empty on the report page.
    QString currentTopic() const;

    QTextBrowser* browser() const { return browser_; }
    QTreeWidget* contents() const { return contents_; }

    // A link in a topic of the help file.
    static QUrl topicUrl(const QString& topic);

private:
    class Browser;

    void showReport();
    void loadContents();
    void linkClicked(const QUrl& url);
    void contentsClicked(QTreeWidgetItem* item);
    void pageChanged(const QUrl& url);
    QVariant loadResource(int type, const QUrl& url) const;

    ChmFile chm_;
    QString helpFile_;
    QSplitter* splitter_ = nullptr;
    QTreeWidget* contents_ = nullptr;
    QTextBrowser* browser_ = nullptr;
    QAction* back_ = nullptr;
    QAction* forward_ = nullptr;
    QAction* home_ = nullptr;
};

} // namespace ui
