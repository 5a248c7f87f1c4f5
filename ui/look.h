#pragma once
// The look every window shares: "Comic Sans MS" 12 pt (Comic Neue where the
// former is missing), the background RGB(192, 192, 255) for windows, labels
// and buttons, text and list boxes in the default white. Positions and sizes
// are given in twips, 15 to a pixel at 96 dots per inch; Qt scales pixels for
// high-DPI screens.

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QWidget;

namespace ui {

inline const QColor kFormBackColor = QColor(192, 192, 255);

// Once per run, before the first window: font substitution and the application font.
void installLook();
QFont formFont();
// Font and background for a window and its labels and buttons.
void applyLook(QWidget* form);

constexpr int twips(int twips) {
    return (twips + 7) / 15;
}
void placeTwips(QWidget* w, int left, int top, int width, int height);

// A caption in which a CR alone (or CR LF) starts a new line, as the labels
// of the program's forms show it.
void setCaption(QLabel* label, const QString& caption);
QString caption(const QLabel* label);

} // namespace ui
