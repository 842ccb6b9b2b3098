#include "windows/MainWindowForm.h"

#include "controls/EditingControls.h"
#include "controls/FormLayout.h"
#include "windows/CarList.h"
#include "windows/FolderTree.h"
#include "windows/FrameStyle.h"
#include "windows/ShownText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>

#include <algorithm>

namespace quendral {

namespace {

QString caption(const char* name)
{
    return QString::fromUtf8(FormLayout::control(name).caption);
}

// The logo box is the image with a two-pixel border on every side.
constexpr int PictureBorder = 2;

} // namespace

MainWindowForm::MainWindowForm(QWidget* window) : m_window(window)
{
    m_window->setObjectName(QStringLiteral("Form1"));
    m_window->setStyleSheet(QLatin1String(FrameStyleSheet));
    m_window->setWindowTitle(WindowTitle);

    auto* carsFrame = add<QGroupBox>(m_window, "Frame1", caption("Frame1"));
    carList = add<CarList>(carsFrame, "lstcars");

    auto* locationFrame = add<QGroupBox>(m_window, "Frame2", caption("Frame2"));
    driveChooser = add<QComboBox>(locationFrame, "Drive1");
    folderTree = add<FolderTree>(locationFrame, "Dir1");

    fileList = add<QListWidget>(m_window, "File1");
    fileList->hide();

    editingFrame = add<QGroupBox>(m_window, "Frame3");

    auto* wheelsFrame = add<QGroupBox>(editingFrame, "Frame4", caption("Frame4"));
    addLabel(wheelsFrame, "Label1");
    addLabel(wheelsFrame, "Label2");
    smallestWheel = add<QLineEdit>(wheelsFrame, "txtminw");
    largestWheel = add<QLineEdit>(wheelsFrame, "txtmaxw");

    saveButton = add<QPushButton>(m_window, "cmdSave", caption("cmdSave"));
    // Return and Enter press the button while it has the focus, as Space does.
    saveButton->setAutoDefault(true);

    auto* heightsFrame = add<QGroupBox>(editingFrame, "Frame5", caption("Frame5"));
    addLabel(heightsFrame, "Label3");
    addLabel(heightsFrame, "Label4");
    frontHeight = add<QSlider>(heightsFrame, "Slider1", Qt::Horizontal);
    rearHeight = add<QSlider>(heightsFrame, "Slider2", Qt::Horizontal);
    for (QSlider* slider : {frontHeight, rearHeight}) {
        slider->setRange(RideHeightMinimum, RideHeightMaximum);
        slider->setSingleStep(1);
        slider->setPageStep(5);
    }

    auto* driveFrame = add<QGroupBox>(editingFrame, "Frame6", caption("Frame6"));
    driveButtons[0] = add<QRadioButton>(driveFrame, "Option1", caption("Option1"));
    driveButtons[1] = add<QRadioButton>(driveFrame, "Option2", caption("Option2"));
    driveButtons[2] = add<QRadioButton>(driveFrame, "Option3", caption("Option3"));

    addLabel(m_window, "Label5");

    auto* enginesFrame = add<QGroupBox>(editingFrame, "Frame7", caption("Frame7"));
    engineChecks[0] = add<QCheckBox>(enginesFrame, "Check1", caption("Check1"));
    engineChecks[1] = add<QCheckBox>(enginesFrame, "Check2", caption("Check2"));
    engineChecks[2] = add<QCheckBox>(enginesFrame, "Check3", caption("Check3"));
    engineChecks[3] = add<QCheckBox>(enginesFrame, "Check4", caption("Check4"));

    logo = add<QLabel>(m_window, "Picture1");
    logo->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    logo->setLineWidth(PictureBorder);
    logo->setPixmap(QPixmap(QStringLiteral(":/quendral/logo.gif")));
    logo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

template <typename Widget, typename... Arguments>
Widget* MainWindowForm::add(QWidget* container, const char* name, Arguments&&... arguments)
{
    auto* widget = new Widget(std::forward<Arguments>(arguments)..., container);
    widget->setObjectName(QLatin1String(name));
    const TwipsRect twips = FormLayout::control(name).twips;
    m_placements.push_back({widget, QRect(twips.left, twips.top, twips.width, twips.height), false});
    return widget;
}

QLabel* MainWindowForm::addLabel(QWidget* container, const char* name)
{
    auto* label = add<QLabel>(container, name, caption(name));
    m_placements.back().sizesToContents = true;
    return label;
}

void MainWindowForm::setTabOrder()
{
    const auto order = FormLayout::tabOrder();
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(m_window->findChild<QWidget*>(QLatin1String(order[i - 1]->name)),
                             m_window->findChild<QWidget*>(QLatin1String(order[i]->name)));
}

double MainWindowForm::scaleToFitCaptions() const
{
    const TwipsLayout unscaled;
    std::vector<TwipsLayout::Fit> fits;
    for (const Placement& placement : m_placements) {
        QWidget* widget = placement.widget;
        const QSize room = unscaled.size(placement.twips.width(), placement.twips.height());
        const QFontMetrics metrics = widget->fontMetrics();
        if (placement.sizesToContents) {
            fits.push_back({widget->sizeHint(), room});
        } else if (qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget)) {
            // The mark and its caption side by side; the room the style keeps
            // around them for the focus frame may be cut, the caption not.
            const int mark = widget->style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, widget);
            fits.push_back({QSize(widget->sizeHint().width(), std::max(mark, metrics.height())), room});
        } else if (auto* frame = qobject_cast<QGroupBox*>(widget); frame && !frame->title().isEmpty()) {
            // The caption runs along the top edge, above the frame's first
            // row of controls.
            int firstRow = placement.twips.height();
            for (const Placement& inner : m_placements) {
                if (inner.widget->parentWidget() == frame)
                    firstRow = std::min(firstRow, inner.twips.top());
            }
            const QSize caption(metrics.horizontalAdvance(frame->title()) + 2 * metrics.averageCharWidth(),
                                metrics.height());
            fits.push_back({caption, QSize(room.width(), unscaled.pixels(firstRow))});
        } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
            const QSize caption(metrics.horizontalAdvance(button->text().remove(QLatin1Char('&')))
                                    + 2 * metrics.averageCharWidth(),
                                metrics.height() + 4);
            fits.push_back({caption, room});
        } else if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget)) {
            fits.push_back({QSize(0, widget->minimumSizeHint().height()), room});
        }
    }
    return TwipsLayout::scaleToFit(fits);
}

void MainWindowForm::applyLayout(const TwipsLayout& twips, int top)
{
    for (const Placement& placement : m_placements) {
        const QRect& t = placement.twips;
        QRect place = twips.rect(t.left(), t.top(), t.width(), t.height());
        if (placement.sizesToContents)
            place.setSize(placement.widget->sizeHint());
        placement.widget->setGeometry(place);
    }
    // The logo box fits the image, whatever the scale.
    const QPixmap picture = logo->pixmap();
    logo->resize(picture.size() + QSize(2 * PictureBorder, 2 * PictureBorder));
    // The menu bar goes on top; the controls keep their places below it.
    for (const Placement& placement : m_placements)
        if (placement.widget->parentWidget() == m_window)
            placement.widget->move(placement.widget->pos() + QPoint(0, top));
}

} // namespace quendral
