#pragma once

#include "history/LineDiff.h"

#include <QPlainTextEdit>

#include <vector>

namespace quendral {

// The lines of a diff as plain text in a fixed-width font, each line's
// background in the colour of its kind. The colours are painted for the
// lines in view only, so that a diff of a million lines opens as fast as
// plain text does.
class DiffText : public QPlainTextEdit
{
public:
    explicit DiffText(QWidget* parent);

    // `text` holds one line per kind, each ended by a line feed.
    void setLines(const QString& text, std::vector<LineDiff::Kind> kinds);
    LineDiff::Kind kindOf(int line) const;

    static QColor background(LineDiff::Kind kind);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<LineDiff::Kind> m_kinds;
};

} // namespace quendral
