#include "WindowFixture.h"

#include "windows/HelpWindow.h"
#include "windows/TwipsLayout.h"

#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quendral::test {
namespace {

struct ControlRow
{
    const char* window;
    const char* name;
    const char* kind;       // Qt class the control is made of
    const char* container;
    const char* caption;    // nullptr: none to compare
    QRect twips;
    double points = 0;      // Arial at this size; 0: the window's font
};

// Every control of both windows as drawn up, the main window's in focus order.
const ControlRow Controls[] = {
    {"Form1", "Frame1", "QGroupBox", "Form1", "Cars", {360, 120, 1695, 2535}},
    {"Form1", "lstcars", "QListWidget", "Frame1", nullptr, {120, 240, 1455, 2205}},
    {"Form1", "Frame2", "QGroupBox", "Form1", "Quendral location", {2160, 120, 2295, 2535}},
    {"Form1", "Drive1", "QComboBox", "Frame2", nullptr, {120, 240, 2055, 315}},
    {"Form1", "Dir1", "quendral::FolderTree", "Frame2", nullptr, {120, 720, 2055, 1665}},
    {"Form1", "File1", "QListWidget", "Form1", nullptr, {4200, 2280, 135, 285}},
    {"Form1", "Frame3", "QGroupBox", "Form1", "", {360, 2760, 4095, 2295}},
    {"Form1", "Frame4", "QGroupBox", "Frame3", "Wheels:", {120, 120, 2175, 615}},
    {"Form1", "Label1", "QLabel", "Frame4", "Min.:", {120, 240, 345, 195}},
    {"Form1", "Label2", "QLabel", "Frame4", "Max.:", {1080, 240, 390, 195}},
    {"Form1", "txtminw", "QLineEdit", "Frame4", "", {480, 240, 495, 285}},
    {"Form1", "txtmaxw", "QLineEdit", "Frame4", "", {1560, 240, 495, 285}},
    {"Form1", "cmdSave", "QPushButton", "Form1", "&Save file", {1560, 5160, 1575, 255}},
    {"Form1", "Frame5", "QGroupBox", "Frame3", "Vehicel height", {120, 840, 2175, 1335}},
    {"Form1", "Label3", "QLabel", "Frame5", "Front:", {120, 240, 405, 195}},
    {"Form1", "Label4", "QLabel", "Frame5", "Back:", {120, 720, 420, 195}},
    {"Form1", "Slider1", "QSlider", "Frame5", nullptr, {720, 240, 1335, 255}},
    {"Form1", "Slider2", "QSlider", "Frame5", nullptr, {720, 720, 1335, 255}},
    {"Form1", "Frame6", "QGroupBox", "Frame3", "Drive system", {2400, 120, 1575, 1095}},
    {"Form1", "Option1", "QRadioButton", "Frame6", "Front", {120, 240, 1335, 255}},
    {"Form1", "Option2", "QRadioButton", "Frame6", "Rear", {120, 480, 1335, 255}},
    {"Form1", "Option3", "QRadioButton", "Frame6", "All", {120, 720, 1335, 255}},
    {"Form1", "Label5", "QLabel", "Form1", nullptr, {120, 5520, 4695, 195}},
    {"Form1", "Frame7", "QGroupBox", "Frame3", "V's", {2400, 1200, 1575, 975}},
    {"Form1", "Check1", "QCheckBox", "Frame7", "I4", {120, 240, 495, 195}},
    {"Form1", "Check2", "QCheckBox", "Frame7", "V6", {120, 480, 615, 255}},
    {"Form1", "Check3", "QCheckBox", "Frame7", "V8", {720, 240, 615, 255}},
    {"Form1", "Check4", "QCheckBox", "Frame7", "V10", {720, 480, 735, 255}},
    {"Form1", "Picture1", "QLabel", "Form1", nullptr, {240, 5880, 4560, 1290}},
    {"Form2", "Label1", "QLabel", "Form2", "Quendral     Car Editor", {720, 240, 6015, 2055}, 48},
    {"Form2", "Frame1", "QGroupBox", "Form2", "How it works????", {600, 2640, 6255, 1815}, 12},
    {"Form2", "Label2", "QLabel", "Frame1", "Just point it to the directory where the car files are in. (Def. "
     "..\\cars\\racers). Select a car and change the specs!!!", {120, 360, 6015, 495}, 9.75},
    {"Form2", "Label3", "QLabel", "Frame1", "Drive safely and have FUNNNNNNNNN", {120, 1320, 6015, 375}, 9.75},
    {"Form2", "Frame2", "QGroupBox", "Form2", "Member of", {600, 4800, 6255, 1335}, 9.75},
    {"Form2", "Picture1", "QLabel", "Frame2", nullptr, {840, 240, 4575, 975}},
};

QString captionOf(const QWidget* widget)
{
    if (auto* frame = qobject_cast<const QGroupBox*>(widget))
        return frame->title();
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->text();
    return {};
}

using WindowLayout = WindowFixture;

TEST_F(WindowLayout, EveryControlStandsWhereItWasDrawnUpWithItsCaptionWhole)
{
    showForm();
    openRacers();
    HelpWindow* help = form->helpWindow();
    EXPECT_EQ(form->windowTitle(), "Quendral Car editor (V1.1b)");
    EXPECT_EQ(help->windowTitle(), form->windowTitle());
    EXPECT_GE(form->layoutScale(), 1.0);
    EXPECT_EQ(form->size(), TwipsLayout(form->layoutScale()).size(4920, 7275));
    EXPECT_EQ(help->windowFlags() & (Qt::WindowType_Mask | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
              Qt::Tool | Qt::WindowCloseButtonHint);
    EXPECT_EQ(help->minimumSize(), help->maximumSize());
    EXPECT_EQ(help->size(), TwipsLayout().size(7230, 6330));

    QStringList focusOrder;
    for (const ControlRow& row : Controls) {
        SCOPED_TRACE(std::string(row.window) + "." + row.name);
        QWidget* window = std::string_view(row.window) == "Form1" ? static_cast<QWidget*>(form.get()) : help;
        QWidget* widget = nullptr;
        for (QWidget* candidate : window->findChildren<QWidget*>(QLatin1String(row.name)))
            widget = candidate->window() == window ? candidate : widget;
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->window()->objectName(), row.window);
        EXPECT_STREQ(widget->metaObject()->className(), row.kind);
        EXPECT_EQ(widget->parentWidget()->objectName(), row.container);
        if (row.caption) {
            EXPECT_EQ(captionOf(widget).remove(QLatin1Char('\n')), QString::fromUtf8(row.caption));
        }
        if (row.points) {
            EXPECT_DOUBLE_EQ(widget->font().pointSizeF(), row.points);
            EXPECT_EQ(widget->font().family(), "Arial");
            EXPECT_FALSE(widget->font().bold() || widget->font().italic() || widget->font().underline());
        }

        // One scale for the whole main window; the help window's fonts are in points already.
        const TwipsLayout twips(window == form.get() ? form->layoutScale() : 1.0);
        const QRect place = twips.rect(row.twips.left(), row.twips.top(), row.twips.width(), row.twips.height());
        EXPECT_EQ(widget->pos(), place.topLeft());
        // The main window's labels fit their text, its logo box the logo.
        if (window == form.get() && qobject_cast<QLabel*>(widget))
            EXPECT_EQ(widget->size(), std::string_view(row.name) == "Picture1" ? QSize(304, 86) : widget->sizeHint());
        else
            EXPECT_EQ(widget->size(), place.size());

        // Whole captions: across, and one line of text down.
        const QFontMetrics metrics = widget->fontMetrics();
        const QString caption = captionOf(widget).remove(QLatin1Char('&'));
        int needed = qobject_cast<QAbstractButton*>(widget) && !qobject_cast<QPushButton*>(widget)
            ? widget->sizeHint().width() : 0;
        for (const QString& line : caption.split(QLatin1Char('\n')))
            needed = std::max(needed, metrics.horizontalAdvance(line.trimmed()));
        EXPECT_LE(needed, widget->width());
        const bool box = qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget);
        EXPECT_GE(widget->height(), box ? widget->minimumSizeHint().height() : caption.isEmpty() ? 0 : metrics.height());
        if (window == form.get() && widget->focusPolicy() != Qt::NoFocus && widget->isVisible())
            focusOrder << widget->objectName();
    }

    QStringList chain{QStringLiteral("lstcars")};
    for (QWidget* widget = control("lstcars")->nextInFocusChain(); widget != control("lstcars");
         widget = widget->nextInFocusChain())
        if (widget->focusPolicy() != Qt::NoFocus && widget->isVisible() && !widget->objectName().isEmpty()
            && widget->window() == form.get())
            chain << widget->objectName();
    EXPECT_EQ(chain, focusOrder);

    // The title takes two lines as laid out, the instructions too, the path unbroken.
    EXPECT_EQ(help->findChild<QLabel*>("Label1")->text(), "Quendral     \nCar Editor");
    EXPECT_TRUE(help->findChild<QLabel*>("Label2")->text().contains(QStringLiteral("\n..\\cars\\racers).")));
    const QString face = QFontInfo(help->findChild<QLabel*>("Label1")->font()).family();
    EXPECT_TRUE(face == "Arial" || face == "Liberation Sans") << face.toStdString();
    const QPixmap logo = control<QLabel>("Picture1")->pixmap();
    EXPECT_EQ(logo.size(), QSize(300, 82));
    EXPECT_TRUE(logo.toImage().isGrayscale());
    EXPECT_FALSE(control<QLabel>("Label5")->text().isEmpty() || control<QLabel>("Label5")->text().contains('\n'));
    EXPECT_TRUE(form->rect().contains(control("Picture1")->geometry()));
}

} // namespace
} // namespace quendral::test
