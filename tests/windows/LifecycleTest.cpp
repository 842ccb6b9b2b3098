#include "WindowFixture.h"

#include "windows/HelpWindow.h"

#include <QApplication>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace quendral::test {
namespace {

// Records which windows are shown, in order.
class ShowOrder : public QObject
{
public:
    std::vector<QString> shown;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The native window's show is the moment it appears on screen.
        if (event->type() == QEvent::Show && watched->isWindowType())
            shown.push_back(watched->objectName());
        return false;
    }
};

class Lifecycle : public WindowFixture
{
protected:
    template <typename Widget>
    Widget* helpControl(const char* name) const
    {
        auto* widget = form->helpWindow()->findChild<Widget*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
};

TEST_F(Lifecycle, TheHelpWindowIsShownFirstCentredAndTakesTheFocus)
{
    ShowOrder order;
    qApp->installEventFilter(&order);
    showForm();
    qApp->removeEventFilter(&order);
    EXPECT_EQ(order.shown, (std::vector<QString>{"Form2Window", "Form1Window"}));

    HelpWindow* help = form->helpWindow();
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
    const QPoint centre = form->screen()->availableGeometry().center();
    EXPECT_LE((help->frameGeometry().center() - centre).manhattanLength(), 5);
    EXPECT_LE((form->geometry().center() - centre).manhattanLength(), 5);

    form->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(help));
    EXPECT_EQ(QApplication::activeWindow(), help);
}

TEST_F(Lifecycle, OnceClosedTheHelpWindowStaysClosedAndTheMainWindowKeepsTheFocus)
{
    showForm();
    QPointer<HelpWindow> help = form->helpWindow();
    ASSERT_TRUE(help);
    help->close();
    QTest::qWait(0);  // the closed window is deleted later
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(help.isNull());
    EXPECT_EQ(form->helpWindow(), nullptr);
    EXPECT_TRUE(form->isVisible());

    form->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_EQ(QApplication::activeWindow(), form.get());
    form->hide();
    form->show();
    EXPECT_EQ(form->helpWindow(), nullptr);
}

TEST_F(Lifecycle, ClosingTheMainWindowEndsTheApplicationWithBothWindows)
{
    showForm();
    QPointer<HelpWindow> help = form->helpWindow();
    ASSERT_TRUE(help && help->isVisible());
    QTimer::singleShot(0, form.get(), [this] { form->close(); });
    // A second timer fails the test rather than hanging it if nothing ends.
    bool ended = true;
    QTimer::singleShot(5000, qApp, [&ended] {
        ended = false;
        QCoreApplication::exit(1);
    });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_TRUE(ended);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(help.isNull() || !help->isVisible());
}

TEST_F(Lifecycle, TheHelpWindowIsAFixedToolWindowWithItsTextsAndFonts)
{
    showForm();
    HelpWindow* help = form->helpWindow();
    EXPECT_EQ(help->windowTitle(), "Quendral Car editor (V1.1b)");
    EXPECT_EQ(help->windowType(), Qt::Tool);
    EXPECT_FALSE(help->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(help->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(help->minimumSize(), QSize(482, 422));
    EXPECT_EQ(help->maximumSize(), QSize(482, 422));

    struct Text
    {
        const char* name;
        const char* text;
        double points;
    };
    const Text texts[] = {
        {"Label1", "Quendral     Car Editor", 48},
        {"Label2",
         "Just point it to the directory where the car files are in. (Def. ..\\cars\\racers). Select a car and "
         "change the specs!!!",
         9.75},
        {"Label3", "Drive safely and have FUNNNNNNNNN", 9.75},
    };
    for (const Text& expected : texts) {
        SCOPED_TRACE(expected.name);
        auto* label = helpControl<QLabel>(expected.name);
        EXPECT_EQ(label->text().remove(QLatin1Char('\n')), expected.text);
        EXPECT_DOUBLE_EQ(label->font().pointSizeF(), expected.points);
        EXPECT_EQ(label->font().family(), "Arial");
        EXPECT_FALSE(label->font().bold() || label->font().italic() || label->font().underline()
                     || label->font().strikeOut());
        // Every line fits the label, and it has room for all of them.
        const QFontMetrics metrics = label->fontMetrics();
        const QStringList lines = label->text().split(QLatin1Char('\n'));
        for (const QString& line : lines)
            EXPECT_LE(metrics.horizontalAdvance(line.trimmed()), label->width()) << line.toStdString();
    }
    EXPECT_EQ(helpControl<QGroupBox>("Frame1")->title(), "How it works????");
    EXPECT_DOUBLE_EQ(helpControl<QGroupBox>("Frame1")->font().pointSizeF(), 12);
    EXPECT_EQ(helpControl<QGroupBox>("Frame2")->title(), "Member of");
    EXPECT_DOUBLE_EQ(helpControl<QGroupBox>("Frame2")->font().pointSizeF(), 9.75);

    // The title takes two lines, as laid out; the path stays whole.
    auto* title = helpControl<QLabel>("Label1");
    EXPECT_EQ(title->text(), "Quendral     \nCar Editor");
    const QStringList instructions = helpControl<QLabel>("Label2")->text().split(QLatin1Char('\n'));
    EXPECT_EQ(instructions.size(), 2);
    EXPECT_TRUE(std::any_of(instructions.begin(), instructions.end(),
                            [](const QString& line) { return line.contains(QStringLiteral("..\\cars\\racers).")); }));

    // Arial itself, or a face with its metrics.
    const QString face = QFontInfo(title->font()).family();
    EXPECT_TRUE(face == "Arial" || face == "Liberation Sans") << face.toStdString();
}

TEST(HelpWindowText, BreaksOnlyAtBlanksKeepingThemAtTheLineEnd)
{
    const QFontMetrics metrics(QFont(QStringLiteral("Arial"), 10));
    const auto width = [&](const char* text) { return metrics.horizontalAdvance(QLatin1String(text)); };
    EXPECT_EQ(HelpWindow::wrapAtBlanks(QStringLiteral("xx xx"), metrics, width("xx xx")), "xx xx");
    EXPECT_EQ(HelpWindow::wrapAtBlanks(QStringLiteral("xx   xx xx"), metrics, width("xx xx")), "xx   \nxx xx");
    EXPECT_EQ(HelpWindow::wrapAtBlanks(QStringLiteral("xx xx xx"), metrics, width("xx x")), "xx \nxx \nxx");
    // A word wider than the line is kept whole on its own line.
    EXPECT_EQ(HelpWindow::wrapAtBlanks(QStringLiteral("x ..\\a\\b x"), metrics, width("x x")), "x \n..\\a\\b \nx");
    EXPECT_EQ(HelpWindow::wrapAtBlanks(QString(), metrics, width("x")), "");
}

TEST_F(Lifecycle, TheHelpWindowCutsTheLogoOffAtItsBox)
{
    showForm();
    auto* picture = helpControl<QLabel>("Picture1");
    EXPECT_EQ(picture->parentWidget()->objectName(), "Frame2");
    EXPECT_EQ(picture->pixmap().size(), QSize(300, 82));
    EXPECT_EQ(picture->geometry(), QRect(56, 16, 305, 65));
    EXPECT_FALSE(picture->hasScaledContents());
}

} // namespace
} // namespace quendral::test
