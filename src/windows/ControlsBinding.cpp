#include "windows/ControlsBinding.h"

#include "controls/EditingControls.h"
#include "windows/DriveButtons.h"
#include "windows/DriveList.h"
#include "windows/FolderTree.h"
#include "windows/MainWindowForm.h"
#include "windows/ShownText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QSlider>
#include <QStatusBar>
#include <QToolTip>

#include <algorithm>

namespace quendral {

namespace {

// Added to a list at once: one insertion, not one per name.
QStringList shownNames(const std::vector<std::string>& names)
{
    QStringList shown;
    shown.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names)
        shown.append(shownName(name));
    return shown;
}

} // namespace

ControlsBinding::ControlsBinding(EditingControls& controls, MainWindowForm& form, QStatusBar& statusBar,
                                 std::function<void()> carActionsChanged, QObject* parent)
    : QObject(parent), m_controls(controls), m_form(form), m_statusBar(statusBar),
      m_carActionsChanged(std::move(carActionsChanged)), m_driveButtons(new DriveButtons(form.driveButtons, this))
{
    showEditingFrame();
    connect(m_form.smallestWheel, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_controls.smallestWheel.setText(textBytes(text)); });
    connect(m_form.largestWheel, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_controls.largestWheel.setText(textBytes(text)); });
    connect(m_form.frontHeight, &QSlider::valueChanged, this,
            [this](int value) { m_controls.frontHeight.setValue(value); });
    connect(m_form.rearHeight, &QSlider::valueChanged, this,
            [this](int value) { m_controls.rearHeight.setValue(value); });
    for (std::size_t i = 0; i < m_form.engineChecks.size(); ++i) {
        connect(m_form.engineChecks[i], &QCheckBox::clicked, this, [this, i](bool ticked) {
            m_controls.engineChecks()[i]->setValue(ticked ? 1 : 0);
            showEngineChecks();
        });
    }
    connect(m_driveButtons, &DriveButtons::chosen, this,
            [this](int button) { m_controls.driveSystem.setValue(button, true); });
    for (QSlider* slider : {m_form.frontHeight, m_form.rearHeight})
        connect(slider, &QSlider::valueChanged, this, [this, slider](int value) { showSliderValue(slider, value); });
}

void ControlsBinding::follow()
{
    m_followed = ControlsView::follow(m_controls);
}

void ControlsBinding::showDrives()
{
    const QSignalBlocker quiet(m_form.driveChooser);
    m_form.driveChooser->clear();
    const auto& drives = m_controls.driveChooser.drives();
    for (const std::filesystem::path& drive : drives)
        m_form.driveChooser->addItem(DriveList::displayName(drive));
    const auto current = std::find(drives.begin(), drives.end(), m_controls.driveChooser.drive());
    m_form.driveChooser->setCurrentIndex(current == drives.end() ? -1 : static_cast<int>(current - drives.begin()));
}

// Whichever way the folder changed, the drive chooser shows its volume; the
// folder has been scanned already.
void ControlsBinding::followFolder()
{
    const std::filesystem::path drive = DriveList::driveOf(m_controls.folderChooser.path());
    m_controls.driveChooser.setDrives(DriveList::drives(drive));
    m_controls.driveChooser.setDrive(drive);
}

void ControlsBinding::showFolder()
{
    const QSignalBlocker quiet(m_form.folderTree);
    m_form.folderTree->showFolder(m_controls.folderChooser);

    m_form.fileList->clear();
    m_form.fileList->addItems(shownNames(m_controls.fileList.names()));
}

void ControlsBinding::showCars()
{
    const QSignalBlocker quiet(m_form.carList);
    m_form.carList->clear();
    m_form.carList->addItems(shownNames(m_controls.carList.items()));
    m_form.carList->setCurrentRow(m_controls.carList.listIndex());
}

void ControlsBinding::showSelectedCar()
{
    const QSignalBlocker quiet(m_form.carList);
    m_form.carList->setCurrentRow(m_controls.carList.listIndex());
}

void ControlsBinding::showEngineChecks()
{
    const auto checks = m_controls.engineChecks();
    for (std::size_t i = 0; i < checks.size(); ++i) {
        const QSignalBlocker quiet(m_form.engineChecks[i]);
        m_form.engineChecks[i]->setChecked(checks[i]->isChecked());
    }
}

void ControlsBinding::updateCarActions()
{
    m_carActionsChanged();
}

void ControlsBinding::showEditingFrame()
{
    m_form.editingFrame->setEnabled(m_controls.editingFrame.isEnabled());
}

void ControlsBinding::showDriveSystem()
{
    m_driveButtons->show(m_controls.driveSystem.selected());
}

// The value beside the pointer while it moves and on hover, and below in the
// status bar; the form keeps its places.
void ControlsBinding::showSliderValue(QSlider* slider, int value)
{
    const QString text = (slider == m_form.frontHeight ? QStringLiteral("Front height: %1")
                                                       : QStringLiteral("Back height: %1"))
                             .arg(value);
    slider->setToolTip(text);
    if (slider->isSliderDown())
        QToolTip::showText(QCursor::pos(), text, slider);
    if (slider->hasFocus() || slider->isSliderDown())
        m_statusBar.showMessage(text, 3000);
}

void ControlsBinding::showSliders()
{
    const QSignalBlocker quiet1(m_form.frontHeight);
    const QSignalBlocker quiet2(m_form.rearHeight);
    m_form.frontHeight->setValue(m_controls.frontHeight.value());
    m_form.rearHeight->setValue(m_controls.rearHeight.value());
    m_form.frontHeight->setToolTip(QStringLiteral("Front height: %1").arg(m_form.frontHeight->value()));
    m_form.rearHeight->setToolTip(QStringLiteral("Back height: %1").arg(m_form.rearHeight->value()));
}

void ControlsBinding::showWheelSizes()
{
    // Rewriting an unchanged box would throw the cursor to its end.
    const std::pair<QLineEdit*, const TextBox*> boxes[] = {{m_form.smallestWheel, &m_controls.smallestWheel},
                                                           {m_form.largestWheel, &m_controls.largestWheel}};
    for (const auto& [widget, box] : boxes) {
        if (textBytes(widget->text()) != box->text()) {
            const QSignalBlocker quiet(widget);
            widget->setText(shownText(box->text()));
        }
    }
}

} // namespace quendral