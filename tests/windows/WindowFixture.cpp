#include "WindowFixture.h"

#include "windows/FolderTree.h"
#include "windows/HelpWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>

namespace quendral::test {

WindowFixture::WindowFixture()
{
    std::filesystem::create_directories(racers());
    std::filesystem::copy(QUENDRAL_EXAMPLES_DIR, racers(), std::filesystem::copy_options::recursive);
    form = std::make_unique<MainWindow>(&messages);
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

void WindowFixture::openFolder(const std::filesystem::path& folder)
{
    auto* tree = control<FolderTree>("Dir1");
    QTreeWidgetItem* item = tree->itemOf(folder);
    ASSERT_NE(item, nullptr) << folder << " is not shown in Dir1";
    tree->scrollToItem(item);
    const QPoint centre = tree->visualItemRect(item).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, centre);
}

void WindowFixture::openRacers()
{
    ASSERT_TRUE(form->startIn(racers().parent_path()));
    openFolder(racers());
}

void WindowFixture::clickCar(int row, Qt::KeyboardModifiers modifiers)
{
    auto* list = control<QListWidget>("lstcars");
    ASSERT_LT(row, list->count());
    list->scrollToItem(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, list->visualItemRect(list->item(row)).center());
}

void WindowFixture::click(const char* name)
{
    auto* button = control<QAbstractButton>(name);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void WindowFixture::type(const char* box, const QString& text)
{
    auto* edit = control<QLineEdit>(box);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

std::vector<std::string> WindowFixture::cars() const
{
    auto* list = control<QListWidget>("lstcars");
    std::vector<std::string> names;
    for (int row = 0; row < list->count(); ++row)
        names.push_back(list->item(row)->text().toStdString());
    return names;
}

} // namespace quendral::test

int main(int argc, char* argv[])
{
    // Also when CTest lists the tests, without the tests' own environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
