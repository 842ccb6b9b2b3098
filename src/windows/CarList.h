#pragma once

#include <QListWidget>

namespace quendral {

// The car list: strictly one car at a time. A car is chosen by a click or by
// moving to it with the keyboard, and once chosen it can be replaced by
// another but never cleared, so the row highlighted is always the car that
// Save writes. Merely entering the list chooses nothing.
class CarList : public QListWidget
{
public:
    explicit CarList(QWidget* parent = nullptr);

protected:
    void focusInEvent(QFocusEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;
};

} // namespace quendral
