#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace quendral {

struct Comparison;

// A line diff between two versions of a car script, in a fixed-width font,
// added lines green and removed lines red; "No changes" when they hold the
// same lines with the same line ends.
class DiffDialog : public QDialog
{
public:
    DiffDialog(const char* name, const QString& title, const Comparison& comparison, QWidget* parent);

    QPlainTextEdit* text() const { return m_text; }

private:
    QPlainTextEdit* m_text;
};

} // namespace quendral
