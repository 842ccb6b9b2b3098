#pragma once

#include "editor/CarVersions.h"

#include <QDialog>

#include <functional>
#include <vector>

class QPushButton;
class QTreeWidget;

namespace quendral {

class EditorSession;

// The selected car's versions as `quendral-car history` lists them. Compare
// shows the diff from the version chosen to the current script; Restore
// asks, then makes it the car script and calls `restored`; `beforeRestore`
// gets the say first, and calls on when the restore may go ahead.
class HistoryDialog : public QDialog
{
public:
    using Guard = std::function<void(QWidget* asker, std::function<void()> proceed)>;
    HistoryDialog(EditorSession& editor, const QString& carName, std::function<void()> restored, Guard beforeRestore,
                  QWidget* parent);

    // Lists the versions afresh; false when they cannot be listed.
    bool refresh();

private:
    const VersionListing* chosen() const;
    const VersionListing* chosenAfresh();
    void compare();
    void askToRestore();
    void updateButtons();

    EditorSession& m_editor;
    QString m_carName;
    std::function<void()> m_restored;
    Guard m_beforeRestore;
    std::vector<VersionListing> m_versions;
    QTreeWidget* m_list;
    QPushButton* m_compare;
    QPushButton* m_restore;
};

} // namespace quendral
