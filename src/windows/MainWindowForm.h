#pragma once

#include "windows/TwipsLayout.h"

#include <QRect>

#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSlider;
class QWidget;

namespace quendral {

class FolderTree;

// The main window as drawn up: its name, title and controls, made from the
// form's layout table and placed in twips, at one scale for the whole form.
class MainWindowForm
{
public:
    explicit MainWindowForm(QWidget* window);

    // Labels, frames and the hidden file list take no focus and are not in
    // the order.
    void setTabOrder();
    // The smallest scale at which every caption fits its control.
    double scaleToFitCaptions() const;
    // Places the controls; those on the window itself `top` pixels lower.
    void applyLayout(const TwipsLayout& twips, int top);

    QListWidget* carList = nullptr;
    QComboBox* driveChooser = nullptr;
    FolderTree* folderTree = nullptr;
    QListWidget* fileList = nullptr;
    QGroupBox* editingFrame = nullptr;
    QLineEdit* smallestWheel = nullptr;
    QLineEdit* largestWheel = nullptr;
    QPushButton* saveButton = nullptr;
    QSlider* frontHeight = nullptr;
    QSlider* rearHeight = nullptr;
    std::array<QRadioButton*, 3> driveButtons{};
    std::array<QCheckBox*, 4> engineChecks{};
    QLabel* logo = nullptr;

private:
    struct Placement
    {
        QWidget* widget;
        QRect twips;
        bool sizesToContents;
    };

    template <typename Widget, typename... Arguments>
    Widget* add(QWidget* container, const char* name, Arguments&&... arguments);
    QLabel* addLabel(QWidget* container, const char* name);

    QWidget* m_window;
    std::vector<Placement> m_placements;
};

} // namespace quendral
