#include "ui/look.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QPalette>
#include <QWidget>

namespace ui {

namespace {
const QString kFamily = QStringLiteral("Comic Sans MS");
const QString kSubstitute = QStringLiteral("Comic Neue");
const char* kCaptionProperty = "quillboxCaption";
} // namespace

void installLook() {
    if (!QFontDatabase::families().contains(kFamily))
        QFont::insertSubstitution(kFamily, kSubstitute);
    QApplication::setFont(formFont());
}

QFont formFont() {
    QFont font(kFamily);
    font.setPointSize(12);
    return font;
}

void applyLook(QWidget* form) {
    form->setFont(formFont());
    QPalette palette = form->palette();
    palette.setColor(QPalette::Window, kFormBackColor);
    palette.setColor(QPalette::Button, kFormBackColor);
    form->setPalette(palette);
    form->setAutoFillBackground(true);
}

void placeTwips(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

void setCaption(QLabel* label, const QString& caption) {
    label->setProperty(kCaptionProperty, caption);
    QString shown = caption;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(u'\r', u'\n');
    label->setText(shown);
}

QString caption(const QLabel* label) {
    return label->property(kCaptionProperty).toString();
}

} // namespace ui
