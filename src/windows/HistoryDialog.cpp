#include "windows/HistoryDialog.h"

#include "carscript/ByteCountText.h"
#include "editor/EditorSession.h"
#include "windows/DialogFocus.h"
#include "windows/DiffDialog.h"
#include "windows/MessageBoxPresenter.h"
#include "windows/ShownText.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace quendral {

HistoryDialog::HistoryDialog(EditorSession& editor, const QString& carName, std::function<void()> restored,
                             Guard beforeRestore, QWidget* parent)
    : QDialog(parent), m_editor(editor), m_carName(carName), m_restored(std::move(restored)),
      m_beforeRestore(std::move(beforeRestore)),
      m_list(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("historyDialog"));
    setWindowTitle(QStringLiteral("History of ") + carName);
    setAttribute(Qt::WA_DeleteOnClose);

    m_list->setObjectName(QStringLiteral("versionList"));
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setHeaderLabels({QStringLiteral("Version"), QStringLiteral("Time"), QStringLiteral("Size"),
                             QStringLiteral("Settings")});
    // The settings take the rest of the width, so no bare strip of header
    // is left over.
    m_list->header()->setStretchLastSection(true);

    auto* buttons = new QDialogButtonBox(this);
    m_compare = buttons->addButton(QStringLiteral("&Compare"), QDialogButtonBox::ActionRole);
    m_compare->setObjectName(QStringLiteral("compareButton"));
    m_compare->setToolTip(QStringLiteral("The lines that differ from this version to the current script"));
    m_restore = buttons->addButton(QStringLiteral("&Restore…"), QDialogButtonBox::ActionRole);
    m_restore->setObjectName(QStringLiteral("restoreButton"));
    m_restore->setToolTip(QStringLiteral("Make this version the car script; the current one is kept"));
    buttons->addButton(QDialogButtonBox::Close)->setObjectName(QStringLiteral("closeButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_compare, &QPushButton::clicked, this, &HistoryDialog::compare);
    connect(m_restore, &QPushButton::clicked, this, &HistoryDialog::askToRestore);
    connect(m_list, &QTreeWidget::currentItemChanged, this, &HistoryDialog::updateButtons);
    // Return reaches the default button as well as the list: the list
    // answers the mouse alone, so that one key press compares once.
    m_compare->setDefault(true);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &HistoryDialog::compare);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
}

bool HistoryDialog::refresh()
{
    m_list->clear();
    const bool listed = m_editor.listVersions(m_versions);
    for (const VersionListing& version : m_versions) {
        QString label = QString::fromStdString(versionText(version.name));
        const std::string marks = version.marks + (version.marks.empty() || version.lacks.empty() ? "" : ", ")
            + version.lacks;
        if (!marks.empty())
            label += QStringLiteral(" (") + QString::fromStdString(marks) + QLatin1Char(')');
        auto* item = new QTreeWidgetItem(m_list, {label, QString::fromStdString(localTimeText(version.time)),
                                                  QString::fromStdString(byteCountText(version.size)),
                                                  shownText(version.settings)});
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    // The version the last save replaced, the one a restore most often
    // wants; else the newest stored one.
    const auto replaced = std::find_if(m_versions.begin(), m_versions.end(), [](const VersionListing& version) {
        return version.marks.starts_with("backup");
    });
    m_list->setCurrentItem(m_list->topLevelItem(replaced != m_versions.end()
                                                    ? static_cast<int>(replaced - m_versions.begin())
                                                    : m_versions.size() > 1 ? 1 : 0));
    updateButtons();
    int width = 0;
    const int room = 2 * m_list->fontMetrics().averageCharWidth();
    for (int column = 0; column < m_list->columnCount(); ++column) {
        m_list->resizeColumnToContents(column);
        m_list->setColumnWidth(column, m_list->columnWidth(column) + room);
        width += m_list->header()->sectionSize(column);
    }
    resize(std::max(width + 48, 480), 120 + m_list->sizeHintForRow(0) * static_cast<int>(m_versions.size() + 2));
    return listed;
}

const VersionListing* HistoryDialog::chosen() const
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    return row < 0 || row >= static_cast<int>(m_versions.size()) ? nullptr : &m_versions[static_cast<std::size_t>(row)];
}

void HistoryDialog::updateButtons()
{
    const VersionListing* version = chosen();
    const bool stored = version && version->name.kind != VersionName::Kind::Current;
    m_compare->setEnabled(stored);
    m_restore->setEnabled(stored);
}

// The history may have changed on disk since it was listed: the version
// chosen is looked up afresh, and when it is gone the list shows what is
// there now and the user is told.
const VersionListing* HistoryDialog::chosenAfresh()
{
    const VersionListing* version = chosen();
    if (!version)
        return nullptr;
    const VersionListing was = *version;
    if (!refresh())
        return nullptr;
    for (int row = 0; row < static_cast<int>(m_versions.size()); ++row) {
        const VersionListing& now = m_versions[static_cast<std::size_t>(row)];
        if (now.time == was.time && now.size == was.size
            && (now.name.kind == VersionName::Kind::Current) == (was.name.kind == VersionName::Kind::Current)) {
            m_list->setCurrentItem(m_list->topLevelItem(row));
            return &now;
        }
    }
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("History"),
                                MessageBoxPresenter::displayText(
                                    "Version " + versionText(was.name) + " of " + m_carName.toStdString()
                                    + " is no longer in its history. The list shows the versions there are now."),
                                QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("versionGone"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    DialogFocus::open(box);
    return nullptr;
}

void HistoryDialog::compare()
{
    const VersionListing* version = chosenAfresh();
    Comparison sides;
    std::array<std::string, 2> bytes;
    if (!version || version->name.kind == VersionName::Kind::Current
        || !m_editor.readCompared(version->name, VersionName{}, sides, bytes))
        return;
    DiffDialog::open("compareDialog",
                     QStringLiteral("%1: from version %2 to the current script")
                         .arg(m_carName, QString::fromStdString(sides.from.label)),
                     "History", sides, std::move(bytes), this);
}

void HistoryDialog::askToRestore()
{
    const VersionListing* version = chosenAfresh();
    if (!version || version->name.kind == VersionName::Kind::Current)
        return;
    const VersionName name = version->name;
    const bool junk = !version->lacks.empty();
    std::string question = "Make version " + versionText(name) + " of " + m_carName.toStdString() + " its car script?";
    if (junk)
        question += version->size == 0 ? "\n\nThis version is empty: the car would have no settings at all."
                                       : "\n\nThis version holds no wheel block: the car would lose its drive, "
                                         "ride heights and wheel sizes.";
    question += "\n\nThe current script is kept in the history and the backup, so this can be undone.";
    auto* box = new QMessageBox(junk ? QMessageBox::Warning : QMessageBox::Question, QStringLiteral("Restore"),
                                MessageBoxPresenter::displayText(question), QMessageBox::Yes | QMessageBox::No, this);
    box->setTextFormat(Qt::PlainText);
    box->setObjectName(QStringLiteral("restoreConfirmation"));
    box->setDefaultButton(QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this, box, name](int) {
        if (box->clickedButton() != box->button(QMessageBox::Yes))
            return;
        m_beforeRestore(this, [this, name] {
            if (!m_editor.restore(name))
                return;
            m_restored();
            refresh();
        });
    });
    DialogFocus::open(box);
}

} // namespace quendral
