#include "windows/MessageBoxPresenter.h"

#include "windows/ShownText.h"

#include <QByteArray>
#include <QMessageBox>

namespace quendral {

QString MessageBoxPresenter::displayText(std::string_view text)
{
    QString shown = shownText(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

std::unique_ptr<QMessageBox> MessageBoxPresenter::makeBox(std::string_view caption, std::string_view text,
                                                          QWidget* parent)
{
    auto box = std::make_unique<QMessageBox>(QMessageBox::Critical, shownText(caption), displayText(text),
                                             QMessageBox::Ok, parent);
    // Messages are plain text: a car name could otherwise be read as markup.
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::ApplicationModal);
    return box;
}

void MessageBoxPresenter::showError(std::string_view caption, std::string_view text)
{
    makeBox(caption, text, m_parent)->exec();
}

} // namespace quendral
