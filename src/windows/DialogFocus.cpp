#include "windows/DialogFocus.h"

#include <QDialog>
#include <QPointer>

namespace quendral {

void DialogFocus::open(QDialog* dialog)
{
    QPointer<QWidget> below = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
    QObject::connect(dialog, &QDialog::finished, dialog, [below](int) {
        if (below && below->isVisible())
            below->activateWindow();
    });
    dialog->open();
    dialog->activateWindow();
}

} // namespace quendral
