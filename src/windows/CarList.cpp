#include "windows/CarList.h"

#include <QSignalBlocker>

namespace quendral {

CarList::CarList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void CarList::focusInEvent(QFocusEvent* event)
{
    // Qt's views make the first row current when the focus comes in, which
    // would read a car the user never picked. Until a row is chosen the list
    // keeps no current row; the first arrow key then lands on the first car.
    const bool noneCurrent = !currentIndex().isValid();
    const QSignalBlocker quiet(this);
    QListWidget::focusInEvent(event);
    if (noneCurrent)
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

QItemSelectionModel::SelectionFlags CarList::selectionCommand(const QModelIndex& index, const QEvent* event) const
{
    // Ctrl+click and Ctrl+Space would clear the chosen row while its car
    // stays the one to save; they choose the row as a plain click does.
    const QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
    if (command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))
        return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    return command;
}

} // namespace quendral
