#pragma once

#include "history/LineDiff.h"

#include <QDialog>

#include <array>
#include <atomic>
#include <string>
#include <vector>

namespace quendral {

class DiffText;
struct Comparison;

// A line diff between two versions of a car script, in a fixed-width font,
// added lines green and removed lines red; "No changes" when they hold the
// same lines with the same line ends.
class DiffDialog : public QDialog
{
public:
    // What the dialog shows: one line of text per kind.
    struct Shown
    {
        QString text;
        std::vector<LineDiff::Kind> kinds;
    };

    // Diffs `bytes`, the versions `sides` names, away from the window's
    // thread while a progress dialog offers Cancel, and opens the dialog
    // once the diff is ready, unless cancelled. The work holds nothing of
    // the window: closing the window or the dialog below it lets it run on
    // to its end unseen. `caption` heads the message when memory runs out.
    static void open(const char* name, const QString& title, const char* caption, const Comparison& sides,
                     std::array<std::string, 2> bytes, QWidget* parent);

    // The lines shown for a comparison; `cancelled` stops the work early.
    static Shown shownLines(const Comparison& comparison, const std::atomic<bool>& cancelled);

    DiffText* text() const { return m_text; }

    // How long, in milliseconds, the window waits for a diff before it
    // shows the progress dialog; 0 shows it at once.
    static void setPatience(int milliseconds) { s_patience = milliseconds; }

private:
    static int s_patience;

    DiffDialog(const QString& name, const QString& title, Shown shown, QWidget* parent);

    DiffText* m_text;
};

} // namespace quendral
