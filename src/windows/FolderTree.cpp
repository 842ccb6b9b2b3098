#include "windows/FolderTree.h"

#include "carscript/FileSystem.h"
#include "catalogue/FolderListing.h"
#include "windows/ShownText.h"

#include <QFile>
#include <QHeaderView>
#include <QStyle>

namespace quendral {

namespace {

constexpr int FolderRole = Qt::UserRole;
constexpr int Indentation = 8;

QString displayName(const std::filesystem::path& folder)
{
    return folder.has_filename() ? shownName(fileNameOf(folder)) : shownPath(folder);
}

} // namespace

FolderTree::FolderTree(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    // Every entry is open for good; an arrow would promise a fold there is not.
    setStyleSheet(QStringLiteral("QTreeView::branch { image: none; border-image: none; }"));
    setIndentation(Indentation);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // A long folder name scrolls sideways rather than being cut off.
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
}

void FolderTree::showFolder(const std::filesystem::path& folder)
{
    m_folder = folder;
    clear();

    // The parents from the root down, each one level deeper, as paths that
    // can be opened again: built up piece by piece rather than cut from the
    // text, so names that are not valid text survive.
    QTreeWidgetItem* current = nullptr;
    std::filesystem::path built = folder.root_path();
    if (!built.empty())
        current = addFolder(nullptr, built, displayName(built), true);
    for (const std::filesystem::path& piece : folder.relative_path()) {
        if (piece.empty())
            continue;
        built /= piece;
        current = addFolder(current, built, displayName(piece), true);
    }

    // What cannot be read is shown without subfolders: the window reports it
    // when the folder is opened.
    FolderContents contents;
    std::string ignored;
    if (current && listFolder(FileSystem::real(), folder, contents, ignored)) {
        for (const std::filesystem::path& subfolder : contents.subfolders)
            addFolder(current, subfolder, displayName(subfolder), false);
    }
    if (current) {
        setCurrentItem(current);
        scrollToItem(current);
    }
}

QTreeWidgetItem* FolderTree::addFolder(QTreeWidgetItem* parent, const std::filesystem::path& folder,
                                       const QString& name, bool open)
{
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    item->setText(0, name);
    item->setIcon(0, style()->standardIcon(open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon));
    item->setData(0, FolderRole, QByteArray::fromStdString(folder.string()));
    item->setExpanded(true);
    return item;
}

std::filesystem::path FolderTree::folderOf(const QTreeWidgetItem* item)
{
    if (!item)
        return {};
    // The bytes of path::string(), which are UTF-8 on Windows.
    return pathFromText(item->data(0, FolderRole).toByteArray().toStdString());
}

QTreeWidgetItem* FolderTree::itemOf(const std::filesystem::path& folder) const
{
    for (QTreeWidgetItemIterator it(const_cast<FolderTree*>(this)); *it; ++it) {
        if (folderOf(*it) == folder)
            return *it;
    }
    return nullptr;
}

} // namespace quendral
