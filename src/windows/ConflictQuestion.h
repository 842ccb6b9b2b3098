#pragma once

#include <QMessageBox>

#include <functional>

namespace quendral {

// Asked when the car script changed on disk after the car was loaded, before
// anything is written over it or shown as what a save would write. Cancel is
// the default, and Escape cancels.
class ConflictQuestion : public QMessageBox
{
public:
    enum class Answer { Reload, GoAhead, Cancel };

    // Opens the question over `parent`, modal to it; `answered` gets the
    // answer once it is given.
    static void ask(const QString& carName, QWidget* parent, std::function<void(Answer)> answered);

private:
    ConflictQuestion(const QString& carName, QWidget* parent);

    QPushButton* m_reload;
    QPushButton* m_goAhead;
};

} // namespace quendral
