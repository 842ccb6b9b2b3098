#pragma once

#include <QTreeWidget>

#include <filesystem>
#include <string>

namespace quendral {

class FolderChooser;

// The folder chooser as the user sees it: the current folder under its
// parents, one level deeper each, and its subfolders below it. Activating
// an entry (double click or Enter) asks to open that folder; the window
// decides whether it becomes the current one.
class FolderTree : public QTreeWidget
{
    Q_OBJECT

public:
    explicit FolderTree(QWidget* parent = nullptr);

    // Shows the chooser's folder: its parents, itself (selected) and its
    // subfolders, in the order the folder scan lists them.
    void showFolder(const FolderChooser& chooser);

    // The folder an entry stands for.
    static std::filesystem::path folderOf(const QTreeWidgetItem* item);

    // The entry of a folder, or nullptr.
    QTreeWidgetItem* itemOf(const std::filesystem::path& folder) const;

    const std::filesystem::path& folder() const { return m_folder; }

private:
    QTreeWidgetItem* addFolder(QTreeWidgetItem* parent, const std::filesystem::path& folder,
                               const QString& name, const QIcon& icon);
    // `folder` as the bytes of path::string().
    static QTreeWidgetItem* newEntry(const std::string& folder, const QString& name, const QIcon& icon);

    std::filesystem::path m_folder;
};

} // namespace quendral
