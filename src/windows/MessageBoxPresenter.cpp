#include "windows/MessageBoxPresenter.h"

#include "windows/ShownText.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QWidget>

namespace quendral {

namespace {

// Marks a place where a line may break; it takes no room and is not seen.
constexpr QChar BreakMark(0x200B);

// Characters that always fit on a line of a message box.
constexpr qsizetype LongStretch = 30;

bool isSeparator(QChar c)
{
    return QStringView(u"/\\_-.").contains(c);
}

// Lets a word too long for a line, a path or a car name, break after its
// separators, and a stretch between them that is too long anywhere.
QString breakable(QStringView word)
{
    if (word.size() <= LongStretch)
        return word.toString();
    QString marked;
    for (qsizetype start = 0; start < word.size();) {
        qsizetype end = start;
        while (end < word.size() && !isSeparator(word[end]))
            ++end;
        const QStringView stretch = word.mid(start, std::min(end + 1, word.size()) - start);
        for (const QChar c : stretch) {
            marked += c;
            if (stretch.size() > LongStretch)
                marked += BreakMark;
        }
        if (stretch.size() <= LongStretch)
            marked += BreakMark;
        start += stretch.size();
    }
    return marked;
}

} // namespace

QString MessageBoxPresenter::displayText(std::string_view text)
{
    QString shown = shownText(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    QString wrapped;
    qsizetype wordStart = 0;
    for (qsizetype i = 0; i <= shown.size(); ++i) {
        if (i < shown.size() && !shown[i].isSpace())
            continue;
        wrapped += breakable(QStringView(shown).mid(wordStart, i - wordStart));
        if (i < shown.size())
            wrapped += shown[i];
        wordStart = i + 1;
    }
    return wrapped;
}

std::unique_ptr<QMessageBox> MessageBoxPresenter::makeBox(std::string_view caption, std::string_view text,
                                                          QWidget* parent)
{
    auto box = std::make_unique<QMessageBox>(QMessageBox::Critical, shownText(caption), displayText(text),
                                             QMessageBox::Ok, parent);
    // Messages are plain text: a car name could otherwise be read as markup.
    box->setTextFormat(Qt::PlainText);
    // A path copied from the box must be the path, without the break marks.
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::changed, box.get(), [](QClipboard::Mode mode) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        const QString copied = clipboard->text(mode);
        if (copied.contains(BreakMark))
            clipboard->setText(QString(copied).remove(BreakMark), mode);
    });
    box->setWindowModality(Qt::ApplicationModal);
    return box;
}

void MessageBoxPresenter::showError(std::string_view caption, std::string_view text)
{
    const auto box = makeBox(caption, text, m_parent);
    // Without a window manager the keyboard stays where it was: hand it to
    // the box, and back once it closes.
    box->show();
    box->activateWindow();
    box->exec();
    if (m_parent && m_parent->isVisible())
        m_parent->window()->activateWindow();
}

} // namespace quendral
