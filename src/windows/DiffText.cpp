#include "windows/DiffText.h"

#include <QFontDatabase>
#include <QPainter>
#include <QTextBlock>

namespace quendral {

DiffText::DiffText(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("diffText"));
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QPalette colours = palette();
    colours.setColor(QPalette::Base, background(LineDiff::Kind::Context));
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);
}

void DiffText::setLines(const QString& text, std::vector<LineDiff::Kind> kinds)
{
    m_kinds = std::move(kinds);
    // The last line feed would make an empty last line.
    setPlainText(text.endsWith(QLatin1Char('\n')) ? text.first(text.size() - 1) : text);
}

LineDiff::Kind DiffText::kindOf(int line) const
{
    return line >= 0 && static_cast<std::size_t>(line) < m_kinds.size() ? m_kinds[static_cast<std::size_t>(line)]
                                                                         : LineDiff::Kind::Context;
}

QColor DiffText::background(LineDiff::Kind kind)
{
    switch (kind) {
    case LineDiff::Kind::Hunk: return {0xdd, 0xf4, 0xff};
    case LineDiff::Kind::Removed: return {0xff, 0xeb, 0xe9};
    case LineDiff::Kind::Added: return {0xda, 0xfb, 0xe1};
    case LineDiff::Kind::Context: break;
    }
    return Qt::white;
}

void DiffText::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(viewport());
        const QPointF offset = contentOffset();
        const int width = viewport()->width();
        for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
            const QRectF place = blockBoundingGeometry(block).translated(offset);
            if (place.top() > event->rect().bottom())
                break;
            const LineDiff::Kind kind = kindOf(block.blockNumber());
            if (kind != LineDiff::Kind::Context)
                painter.fillRect(QRectF(0, place.top(), width, place.height()), background(kind));
        }
    }
    QPlainTextEdit::paintEvent(event);
}

} // namespace quendral
