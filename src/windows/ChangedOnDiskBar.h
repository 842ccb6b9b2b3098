#pragma once

#include <QFrame>

#include <functional>

class QLabel;
class QPushButton;

namespace quendral {

// The bar above the controls that tells, without stopping any work, that
// the car script changed on disk while the user was changing its settings.
class ChangedOnDiskBar : public QFrame
{
public:
    ChangedOnDiskBar(std::function<void()> reload, QWidget* parent);

    void showFor(const QString& carName);
    // What it says, as read.
    QString text() const;

private:
    QLabel* m_label;
    QPushButton* m_reload;
};

} // namespace quendral
