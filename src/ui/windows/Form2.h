#pragma once

#include <QWidget>

namespace quendral {

// The help window: a small fixed tool window with the title, two lines of
// instructions and the logo. It acts on nothing; the main window shows it
// at start and hands it the focus while it is open.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    explicit Form2(QWidget* parent = nullptr);

    // Puts the window in the middle of the screen it will be shown on.
    void centreOnScreen();
};

} // namespace quendral
