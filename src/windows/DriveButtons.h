#pragma once

#include <QObject>

#include <array>

class QRadioButton;

namespace quendral {

// The drive system's option buttons, front, rear and all, as one group:
// a click or an arrow key chooses, and Tab stops on the ticked button.
class DriveButtons : public QObject
{
    Q_OBJECT

public:
    DriveButtons(const std::array<QRadioButton*, 3>& buttons, QObject* parent);

    // Ticks the button, or none for OptionGroup::None.
    void show(int selected);

Q_SIGNALS:
    void chosen(int button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::array<QRadioButton*, 3> m_buttons;
    int m_selected = -1;
};

} // namespace quendral
