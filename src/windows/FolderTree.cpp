#include "windows/FolderTree.h"

#include "carscript/FileSystem.h"
#include "catalogue/FolderListing.h"
#include "controls/FolderChooser.h"
#include "windows/ShownText.h"

#include <QFile>
#include <QHeaderView>
#include <QIcon>
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

void FolderTree::showFolder(const FolderChooser& chooser)
{
    const std::filesystem::path& folder = chooser.path();
    m_folder = folder;
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);

    // The parents from the root down, each one level deeper, as paths that
    // can be opened again: built up piece by piece rather than cut from the
    // text, so names that are not valid text survive.
    QTreeWidgetItem* current = nullptr;
    std::filesystem::path built = folder.root_path();
    if (!built.empty())
        current = addFolder(nullptr, built, displayName(built), openIcon);
    for (const std::filesystem::path& piece : folder.relative_path()) {
        if (piece.empty())
            continue;
        built /= piece;
        current = addFolder(current, built, displayName(piece), openIcon);
    }
    if (!current)
        return;

    // The chooser's own listing; only the start folder is shown before it
    // has been read. What cannot be read is shown without subfolders: the
    // window reports it when the folder is opened.
    const FolderContents* contents = &chooser.contents();
    FolderContents startContents;
    if (contents->files.empty() && contents->subfolders.empty()) {
        std::string ignored;
        listFolder(FileSystem::real(), folder, startContents, ignored);
        contents = &startContents;
    }
    // Made apart and added at once: one insertion into the view, not one
    // per subfolder. The entries hold no children, so none is expanded.
    // Their paths are the folder's text and a name: a path built with `/`
    // is parsed into its elements, and 10,000 of them show.
    const std::string prefix = (folder / "").string();
    QList<QTreeWidgetItem*> subfolders;
    subfolders.reserve(static_cast<qsizetype>(contents->subfolders.size()));
    for (const std::string& name : contents->subfolders)
        subfolders.append(newEntry(prefix + name, shownName(name), closedIcon));
    current->addChildren(subfolders);
    setCurrentItem(current);
    scrollToItem(current);
}

QTreeWidgetItem* FolderTree::addFolder(QTreeWidgetItem* parent, const std::filesystem::path& folder,
                                       const QString& name, const QIcon& icon)
{
    QTreeWidgetItem* item = newEntry(folder.string(), name, icon);
    if (parent)
        parent->addChild(item);
    else
        addTopLevelItem(item);
    item->setExpanded(true);
    return item;
}

QTreeWidgetItem* FolderTree::newEntry(const std::string& folder, const QString& name, const QIcon& icon)
{
    auto* item = new QTreeWidgetItem;
    item->setText(0, name);
    item->setIcon(0, icon);
    item->setData(0, FolderRole, QByteArray::fromStdString(folder));
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
