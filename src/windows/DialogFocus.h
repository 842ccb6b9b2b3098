#pragma once

class QDialog;

namespace quendral {

// Opens a dialog modal to the window below it and hands it the keyboard;
// once it closes, the keyboard goes back to that window. A window manager
// would do both, but the editor also runs without one.
class DialogFocus
{
public:
    static void open(QDialog* dialog);
};

} // namespace quendral
