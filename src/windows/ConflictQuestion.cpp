#include "windows/ConflictQuestion.h"

#include "windows/DialogFocus.h"
#include "windows/MessageBoxPresenter.h"

#include <QPushButton>

namespace quendral {

ConflictQuestion::ConflictQuestion(const QString& carName, QWidget* parent)
    : QMessageBox(QMessageBox::Warning, QStringLiteral("Changed on disk"),
                  MessageBoxPresenter::displayText(
                      (QStringLiteral("The car script of ") + carName
                       + QStringLiteral(" changed on disk after it was loaded."))
                          .toStdString()),
                  QMessageBox::NoButton, parent)
{
    setObjectName(QStringLiteral("conflictQuestion"));
    setTextFormat(Qt::PlainText);
    setInformativeText(QStringLiteral("Reload shows what it holds now. Save anyway writes every setting as shown "
                                      "here over it; what it holds now stays in the car's history."));
    m_reload = addButton(QStringLiteral("&Reload"), QMessageBox::ActionRole);
    m_reload->setObjectName(QStringLiteral("reloadButton"));
    m_goAhead = addButton(QStringLiteral("Save &anyway"), QMessageBox::AcceptRole);
    m_goAhead->setObjectName(QStringLiteral("saveAnywayButton"));
    QPushButton* cancel = addButton(QMessageBox::Cancel);
    setDefaultButton(cancel);
    setEscapeButton(cancel);
    setAttribute(Qt::WA_DeleteOnClose);
}

void ConflictQuestion::ask(const QString& carName, QWidget* parent, std::function<void(Answer)> answered)
{
    auto* question = new ConflictQuestion(carName, parent);
    connect(question, &QMessageBox::finished, question, [question, answered = std::move(answered)](int) {
        QAbstractButton* clicked = question->clickedButton();
        answered(clicked == question->m_reload    ? Answer::Reload
                 : clicked == question->m_goAhead ? Answer::GoAhead
                                                  : Answer::Cancel);
    });
    DialogFocus::open(question);
}

} // namespace quendral
