#include "WindowFixture.h"

#include "windows/FolderTree.h"
#include "windows/HelpWindow.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTest>

namespace quendral::test {

WindowFixture::WindowFixture()
{
    std::filesystem::create_directories(racers());
    std::filesystem::copy(QUENDRAL_EXAMPLES_DIR, racers(), std::filesystem::copy_options::recursive);
    form = std::make_unique<MainWindow>(&messages);
}

WindowFixture::~WindowFixture()
{
    form.reset();
}

void WindowFixture::showForm()
{
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
}

void WindowFixture::activateForm()
{
    showForm();
    form->helpWindow()->close();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
}

void WindowFixture::doubleClickFolder(const std::filesystem::path& folder)
{
    auto* tree = control<FolderTree>("Dir1");
    ASSERT_NE(tree, nullptr);
    QTreeWidgetItem* item = tree->itemOf(folder);
    ASSERT_NE(item, nullptr) << folder << " is not shown in Dir1 at " << tree->folder();
    tree->scrollToItem(item);
    const QPoint centre = tree->visualItemRect(item).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, centre);
}

void WindowFixture::openRacersFolder()
{
    ASSERT_TRUE(form->startIn(racers().parent_path()));
    doubleClickFolder(racers());
}

void WindowFixture::clickCar(int row)
{
    auto* list = control<QListWidget>("lstcars");
    ASSERT_NE(list, nullptr);
    ASSERT_LT(row, list->count());
    QListWidgetItem* item = list->item(row);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

void WindowFixture::typeInto(const char* box, const QString& text)
{
    auto* edit = control<QLineEdit>(box);
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

std::vector<std::string> WindowFixture::carNames() const
{
    std::vector<std::string> names;
    auto* list = control<QListWidget>("lstcars");
    for (int row = 0; list && row < list->count(); ++row)
        names.push_back(list->item(row)->text().toStdString());
    return names;
}

} // namespace quendral::test
