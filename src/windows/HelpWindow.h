#pragma once

#include <QFontMetrics>
#include <QString>
#include <QWidget>

namespace quendral {

// The help window: a small fixed tool window with the title, two lines of
// instructions and the logo. It acts on nothing but Escape, which closes it;
// the main window shows it at start and hands it the focus while it is open.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Puts the window in the middle of the screen it will be shown on.
    void centreOnScreen();

    // Breaks a text into lines that fit a width, at blanks only: a word
    // never breaks, not even at the backslashes of a path. The blanks at a
    // break stay at the end of the line, where they take no room.
    static QString wrapAtBlanks(const QString& text, const QFontMetrics& metrics, int width);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace quendral
