#include "windows/DriveButtons.h"

#include <QKeyEvent>
#include <QRadioButton>

#include <algorithm>

namespace quendral {

DriveButtons::DriveButtons(const std::array<QRadioButton*, 3>& buttons, QObject* parent)
    : QObject(parent), m_buttons(buttons)
{
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        connect(m_buttons[i], &QRadioButton::clicked, this, [this, i] { Q_EMIT chosen(static_cast<int>(i)); });
        m_buttons[i]->installEventFilter(this);
    }
}

bool DriveButtons::eventFilter(QObject* watched, QEvent* event)
{
    const auto option = std::find(m_buttons.begin(), m_buttons.end(), watched);
    if (option != m_buttons.end()) {
        // The arrow keys move the tick through the drive system, round and
        // round, and the focus with it.
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            const int step = key == Qt::Key_Down || key == Qt::Key_Right ? 1
                : key == Qt::Key_Up || key == Qt::Key_Left               ? -1
                                                                         : 0;
            if (step != 0) {
                const auto count = static_cast<int>(m_buttons.size());
                const int next = (static_cast<int>(option - m_buttons.begin()) + step + count) % count;
                m_buttons[static_cast<std::size_t>(next)]->setFocus(Qt::OtherFocusReason);
                Q_EMIT chosen(next);
                return true;
            }
        }
        // Qt hands the Tab stop to whichever button had the focus last; the
        // group keeps it on the ticked one.
        if (event->type() == QEvent::FocusOut)
            show(m_selected);
    }
    return QObject::eventFilter(watched, event);
}

void DriveButtons::show(int selected)
{
    m_selected = selected;
    // Tab enters the group on the ticked button, on the first when none is;
    // the others are reached with the arrow keys or the mouse.
    const int tabStop = std::max(selected, 0);
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        QRadioButton* option = m_buttons[i];
        const bool ticked = static_cast<int>(i) == selected;
        option->setFocusPolicy(static_cast<int>(i) == tabStop ? Qt::StrongFocus : Qt::ClickFocus);
        const QSignalBlocker quiet(option);
        // An exclusive button cannot be cleared while it is set, yet the
        // model may choose none: the start state, kept by a car whose
        // script drives no axle.
        option->setAutoExclusive(ticked);
        option->setChecked(ticked);
        option->setAutoExclusive(true);
    }
}

} // namespace quendral
