#include "WindowFixture.h"

#include "windows/TwipsLayout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>

namespace quendral::test {
namespace {

struct ControlRow
{
    const char* name;
    const char* kind;    // Qt class the control is made of
    const char* container;
    const char* caption; // nullptr: none to compare
    QRect twips;
};

// Every control of the main window as drawn up, in focus order.
const ControlRow Controls[] = {
    {"Frame1", "QGroupBox", "Form1", "Cars", {360, 120, 1695, 2535}},
    {"lstcars", "QListWidget", "Frame1", nullptr, {120, 240, 1455, 2205}},
    {"Frame2", "QGroupBox", "Form1", "Quendral location", {2160, 120, 2295, 2535}},
    {"Drive1", "QComboBox", "Frame2", nullptr, {120, 240, 2055, 315}},
    {"Dir1", "quendral::FolderTree", "Frame2", nullptr, {120, 720, 2055, 1665}},
    {"File1", "QListWidget", "Form1", nullptr, {4200, 2280, 135, 285}},
    {"Frame3", "QGroupBox", "Form1", "", {360, 2760, 4095, 2295}},
    {"Frame4", "QGroupBox", "Frame3", "Wheels:", {120, 120, 2175, 615}},
    {"Label1", "QLabel", "Frame4", "Min.:", {120, 240, 345, 195}},
    {"Label2", "QLabel", "Frame4", "Max.:", {1080, 240, 390, 195}},
    {"txtminw", "QLineEdit", "Frame4", "", {480, 240, 495, 285}},
    {"txtmaxw", "QLineEdit", "Frame4", "", {1560, 240, 495, 285}},
    {"cmdSave", "QPushButton", "Form1", "&Save file", {1560, 5160, 1575, 255}},
    {"Frame5", "QGroupBox", "Frame3", "Vehicel height", {120, 840, 2175, 1335}},
    {"Label3", "QLabel", "Frame5", "Front:", {120, 240, 405, 195}},
    {"Label4", "QLabel", "Frame5", "Back:", {120, 720, 420, 195}},
    {"Slider1", "QSlider", "Frame5", nullptr, {720, 240, 1335, 255}},
    {"Slider2", "QSlider", "Frame5", nullptr, {720, 720, 1335, 255}},
    {"Frame6", "QGroupBox", "Frame3", "Drive system", {2400, 120, 1575, 1095}},
    {"Option1", "QRadioButton", "Frame6", "Front", {120, 240, 1335, 255}},
    {"Option2", "QRadioButton", "Frame6", "Rear", {120, 480, 1335, 255}},
    {"Option3", "QRadioButton", "Frame6", "All", {120, 720, 1335, 255}},
    {"Label5", "QLabel", "Form1", nullptr, {120, 5520, 4695, 195}},
    {"Frame7", "QGroupBox", "Frame3", "V's", {2400, 1200, 1575, 975}},
    {"Check1", "QCheckBox", "Frame7", "I4", {120, 240, 495, 195}},
    {"Check2", "QCheckBox", "Frame7", "V6", {120, 480, 615, 255}},
    {"Check3", "QCheckBox", "Frame7", "V8", {720, 240, 615, 255}},
    {"Check4", "QCheckBox", "Frame7", "V10", {720, 480, 735, 255}},
    {"Picture1", "QLabel", "Form1", nullptr, {240, 5880, 4560, 1290}},
};

QString captionOf(QWidget* widget)
{
    if (auto* frame = qobject_cast<QGroupBox*>(widget))
        return frame->title();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text();
    return {};
}

class MainWindowLayout : public WindowFixture
{
};

TEST_F(MainWindowLayout, HasEveryControlWithItsKindContainerAndCaption)
{
    EXPECT_EQ(form->windowTitle(), "Quendral Car editor (V1.1b)");
    EXPECT_EQ(form->objectName(), "Form1");
    int found = 0;
    for (const ControlRow& row : Controls) {
        SCOPED_TRACE(row.name);
        QWidget* widget = control<QWidget>(row.name);
        ASSERT_NE(widget, nullptr);
        ++found;
        EXPECT_STREQ(widget->metaObject()->className(), row.kind);
        EXPECT_EQ(widget->parentWidget()->objectName(), row.container);
        if (row.caption) {
            EXPECT_EQ(captionOf(widget), QString::fromUtf8(row.caption));
        }
    }
    EXPECT_EQ(found, 29);
    EXPECT_EQ(control<QLabel>("Label5")->text().count(QLatin1Char('\n')), 0);
    EXPECT_FALSE(control<QLabel>("Label5")->text().isEmpty());
}

TEST_F(MainWindowLayout, PlacesControlsAtTheirTwipsScaledByOneFactor)
{
    const TwipsLayout twips(form->layoutScale());
    EXPECT_GE(form->layoutScale(), 1.0);
    EXPECT_EQ(form->size(), twips.size(4920, 7275));
    for (const ControlRow& row : Controls) {
        SCOPED_TRACE(row.name);
        QWidget* widget = control<QWidget>(row.name);
        const QRect expected = twips.rect(row.twips.left(), row.twips.top(), row.twips.width(), row.twips.height());
        EXPECT_EQ(widget->pos(), expected.topLeft());
        if (qobject_cast<QLabel*>(widget) && std::string_view(row.name) != "Picture1") {
            // Labels fit themselves to their text, inside their own room.
            EXPECT_EQ(widget->size(), widget->sizeHint());
            EXPECT_LE(widget->width(), expected.width());
        } else if (std::string_view(row.name) != "Picture1") {
            EXPECT_EQ(widget->size(), expected.size());
        }
    }
}

TEST_F(MainWindowLayout, CaptionsAreNotCutOff)
{
    for (const ControlRow& row : Controls) {
        SCOPED_TRACE(row.name);
        QWidget* widget = control<QWidget>(row.name);
        const QFontMetrics metrics = widget->fontMetrics();
        if (auto* check = qobject_cast<QAbstractButton*>(widget); check && !qobject_cast<QPushButton*>(widget)) {
            // The mark, the gap and the whole caption across; the caption's height down.
            EXPECT_GE(widget->width(), widget->sizeHint().width());
            EXPECT_GE(widget->height(), metrics.height());
        } else if (auto* label = qobject_cast<QLabel*>(widget); label && !label->text().isEmpty()) {
            EXPECT_GE(widget->width(), metrics.horizontalAdvance(label->text()));
            EXPECT_GE(widget->height(), metrics.height());
        } else if (qobject_cast<QPushButton*>(widget)) {
            EXPECT_GT(widget->width(), metrics.horizontalAdvance(QStringLiteral("Save file")));
            EXPECT_GE(widget->height(), metrics.height());
        } else if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget)) {
            EXPECT_GE(widget->height(), widget->minimumSizeHint().height());
        }
    }
    // Labels end before the boxes beside them begin.
    EXPECT_LT(control<QLabel>("Label1")->geometry().right(), control<QLineEdit>("txtminw")->x());
    EXPECT_LT(control<QLabel>("Label2")->geometry().right(), control<QLineEdit>("txtmaxw")->x());
    EXPECT_LT(control<QLabel>("Label3")->geometry().right(), control<QSlider>("Slider1")->x());
}

TEST_F(MainWindowLayout, ShowsTheLogoInABoxFittedToIt)
{
    auto* picture = control<QLabel>("Picture1");
    const QPixmap logo = picture->pixmap();
    ASSERT_EQ(logo.size(), QSize(300, 82));
    EXPECT_TRUE(logo.toImage().isGrayscale());
    EXPECT_EQ(picture->size(), QSize(304, 86));
    EXPECT_LE(picture->geometry().bottom(), form->height());
    EXPECT_LE(picture->geometry().right(), form->width());
}

TEST_F(MainWindowLayout, StartsWithoutCarsAndWithTheEditingFrameDisabled)
{
    showForm();
    EXPECT_TRUE(carNames().empty());
    EXPECT_FALSE(control<QGroupBox>("Frame3")->isEnabled());
    EXPECT_FALSE(control<QListWidget>("File1")->isVisible());
    EXPECT_TRUE(control<QPushButton>("cmdSave")->isEnabled());
    EXPECT_TRUE(control<QListWidget>("lstcars")->isEnabled());
    // No scan ran: the choosers show the start folder without a change.
    EXPECT_EQ(form->controls().folderChooser.path(), std::filesystem::current_path());
    EXPECT_EQ(form->controls().fileList.listCount(), 0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindowLayout, FocusGoesFromTheCarListThroughTheControlsInTheirOrder)
{
    openRacersFolder();
    const char* const order[] = {"lstcars", "Drive1",  "Dir1",    "txtminw", "txtmaxw",
                                 "cmdSave", "Slider1", "Slider2", "Option1", "Option2",
                                 "Option3", "Check1",  "Check2",  "Check3",  "Check4"};
    QWidget* widget = control<QWidget>(order[0]);
    for (std::size_t i = 1; i < std::size(order); ++i) {
        widget = widget->nextInFocusChain();
        while (widget->focusPolicy() == Qt::NoFocus || !widget->isEnabled() || widget->objectName().isEmpty()
               || widget->objectName() == "File1")
            widget = widget->nextInFocusChain();
        EXPECT_EQ(widget->objectName(), order[i]);
    }
}

} // namespace
} // namespace quendral::test
