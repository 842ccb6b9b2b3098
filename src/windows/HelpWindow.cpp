#include "windows/HelpWindow.h"

#include "windows/FrameStyle.h"
#include "windows/ShownText.h"
#include "windows/TwipsLayout.h"

#include <QFont>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

namespace quendral {

namespace {

// Arial, which Linux resolves to a metric-compatible face, so the texts
// break where they were laid out to.
QFont arial(double points)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    return font;
}

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, double points, const QRect& place)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(arial(points));
    label->setText(HelpWindow::wrapAtBlanks(text, QFontMetrics(label->font()), place.width()));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(place);
    return label;
}

QGroupBox* addFrame(QWidget* parent, const char* name, const QString& title, double points, const QRect& place)
{
    auto* frame = new QGroupBox(title, parent);
    frame->setObjectName(QLatin1String(name));
    frame->setFont(arial(points));
    frame->setGeometry(place);
    return frame;
}

} // namespace

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
                          | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form2"));
    setStyleSheet(QLatin1String(FrameStyleSheet));
    setWindowTitle(WindowTitle);
    // Closed for good: Help in the menu makes a new one.
    setAttribute(Qt::WA_DeleteOnClose);

    // Every font here is given in points, so the layout needs no scaling
    // beyond the twips themselves.
    const TwipsLayout twips;
    setFixedSize(twips.size(7230, 6330));

    addLabel(this, "Label1", QStringLiteral("Quendral     Car Editor"), 48, twips.rect(720, 240, 6015, 2055));

    QGroupBox* howItWorksFrame =
        addFrame(this, "Frame1", QStringLiteral("How it works????"), 12, twips.rect(600, 2640, 6255, 1815));
    addLabel(howItWorksFrame, "Label2",
             QStringLiteral("Just point it to the directory where the car files are in. (Def. "
                            "..\\cars\\racers). Select a car and change the specs!!!"),
             9.75, twips.rect(120, 360, 6015, 495));
    addLabel(howItWorksFrame, "Label3", QStringLiteral("Drive safely and have FUNNNNNNNNN"), 9.75,
             twips.rect(120, 1320, 6015, 375));

    QGroupBox* memberOfFrame =
        addFrame(this, "Frame2", QStringLiteral("Member of"), 9.75, twips.rect(600, 4800, 6255, 1335));
    // A fixed box, smaller than the logo: the logo's lower part is cut off.
    auto* picture = new QLabel(memberOfFrame);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setPixmap(QPixmap(QStringLiteral(":/quendral/logo.gif")));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setGeometry(twips.rect(840, 240, 4575, 975));
}

QString HelpWindow::wrapAtBlanks(const QString& text, const QFontMetrics& metrics, int width)
{
    QString wrapped;
    QString line;
    qsizetype at = 0;
    while (at < text.size()) {
        // The next word with the blanks in front of it.
        qsizetype end = at;
        while (end < text.size() && text.at(end) == QLatin1Char(' '))
            ++end;
        const qsizetype wordStart = end;
        while (end < text.size() && text.at(end) != QLatin1Char(' '))
            ++end;
        const QString blanks = text.mid(at, wordStart - at);
        const QString word = text.mid(wordStart, end - wordStart);
        if (!line.isEmpty() && !word.isEmpty() && metrics.horizontalAdvance(line + blanks + word) > width) {
            wrapped += line + blanks + QLatin1Char('\n');
            line = word;
        } else {
            line += blanks + word;
        }
        at = end;
    }
    return wrapped + line;
}

void HelpWindow::keyPressEvent(QKeyEvent* event)
{
    // Without a window manager there is no title bar to close the window by,
    // and it covers the editing frame: Escape closes it as the close button does.
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void HelpWindow::centreOnScreen()
{
    const QScreen* screen = this->screen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

} // namespace quendral
