#pragma once

#include "controls/MessagePresenter.h"

#include <QString>

#include <memory>

class QMessageBox;
class QWidget;

namespace quendral {

// Shows each message as a modal box over a window: error icon, the caption
// and text exactly as given, a single OK.
class MessageBoxPresenter final : public MessagePresenter
{
public:
    explicit MessageBoxPresenter(QWidget* parent) : m_parent(parent) {}

    void showError(std::string_view caption, std::string_view text) override;

    // The box showError runs, built but not yet shown.
    static std::unique_ptr<QMessageBox> makeBox(std::string_view caption, std::string_view text,
                                                QWidget* parent);

    // The text as the box shows it: a lone carriage return breaks the line
    // in the messages' own wording (Qt only breaks on a line feed), and long
    // paths and names may break where a line is full.
    static QString displayText(std::string_view text);

private:
    QWidget* m_parent;
};

} // namespace quendral
