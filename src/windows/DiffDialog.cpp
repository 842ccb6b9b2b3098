#include "windows/DiffDialog.h"

#include "editor/CarVersions.h"
#include "windows/ShownText.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

namespace quendral {

namespace {

struct LineLook
{
    const char* prefix;
    QColor text;
    QColor background;
};

LineLook lookOf(LineDiff::Kind kind)
{
    switch (kind) {
    case LineDiff::Kind::Hunk: return {"", QColor(0x57, 0x60, 0x6a), QColor(0xdd, 0xf4, 0xff)};
    case LineDiff::Kind::Removed: return {"-", QColor(0x82, 0x07, 0x1e), QColor(0xff, 0xeb, 0xe9)};
    case LineDiff::Kind::Added: return {"+", QColor(0x11, 0x63, 0x29), QColor(0xda, 0xfb, 0xe1)};
    case LineDiff::Kind::Context: break;
    }
    return {" ", QColor(Qt::black), QColor(Qt::white)};
}

void addLine(QTextCursor& cursor, const QString& text, const LineLook& look)
{
    if (!cursor.atStart())
        cursor.insertBlock();
    QTextBlockFormat block;
    block.setBackground(look.background);
    cursor.setBlockFormat(block);
    QTextCharFormat characters;
    characters.setForeground(look.text);
    cursor.insertText(text, characters);
}

} // namespace

DiffDialog::DiffDialog(const char* name, const QString& title, const Comparison& comparison, QWidget* parent)
    : QDialog(parent), m_text(new QPlainTextEdit(this))
{
    setObjectName(QLatin1String(name));
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    m_text->setObjectName(QStringLiteral("diffText"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    QTextCursor cursor(m_text->document());
    const LineLook plain = lookOf(LineDiff::Kind::Context);
    const LineDiff& diff = comparison.diff;
    if (diff.unchanged())
        addLine(cursor, QStringLiteral("No changes"), plain);
    for (const std::string& note : diff.notes)
        addLine(cursor, QString::fromStdString(note), plain);
    if (!diff.lines.empty()) {
        addLine(cursor, QStringLiteral("--- ") + shownPath(comparison.from.path) + QLatin1Char('\t')
                            + QString::fromStdString(comparison.from.label), plain);
        addLine(cursor, QStringLiteral("+++ ") + shownPath(comparison.to.path) + QLatin1Char('\t')
                            + QString::fromStdString(comparison.to.label), plain);
    }
    for (const LineDiff::Line& line : diff.lines) {
        const LineLook look = lookOf(line.kind);
        addLine(cursor, QLatin1String(look.prefix) + shownText(line.text), look);
    }
    m_text->moveCursor(QTextCursor::Start);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("closeButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
    const QFontMetrics metrics(m_text->font());
    resize(metrics.horizontalAdvance(QLatin1Char('x')) * 90, metrics.lineSpacing() * 30);
}

} // namespace quendral
