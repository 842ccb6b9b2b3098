#include "windows/DriveList.h"
#include "windows/MessageBoxPresenter.h"
#include "windows/TwipsLayout.h"

#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace quendral {
namespace {

TEST(TwipsLayout, ConvertsFifteenTwipsToAPixelTimesTheScale)
{
    const TwipsLayout plain;
    EXPECT_EQ(plain.pixels(4920), 328);
    EXPECT_EQ(plain.rect(360, 120, 1695, 2535), QRect(24, 8, 113, 169));

    const TwipsLayout larger(1.35);
    EXPECT_EQ(larger.pixels(15), 1);
    EXPECT_EQ(larger.pixels(4920), 443);
    // Controls that touch stay touching: the right edge of one is the left
    // edge of the next however the sizes round.
    const QRect left = larger.rect(120, 240, 345, 195);
    const QRect right = larger.rect(465, 240, 495, 285);
    EXPECT_EQ(left.right() + 1, right.left());
}

TEST(TwipsLayout, ScalesUpInTwentiethsUntilEveryCaptionFits)
{
    using Fit = TwipsLayout::Fit;
    EXPECT_DOUBLE_EQ(TwipsLayout::scaleToFit({}), 1.0);
    const std::vector<Fit> roomy = {{QSize(20, 10), QSize(30, 13)}};
    EXPECT_DOUBLE_EQ(TwipsLayout::scaleToFit(roomy), 1.0);
    const std::vector<Fit> exact = {{QSize(26, 10), QSize(20, 13)}};
    EXPECT_DOUBLE_EQ(TwipsLayout::scaleToFit(exact), 1.3);
    const std::vector<Fit> slightly = {{QSize(27, 10), QSize(20, 13)}, {QSize(10, 14), QSize(20, 13)}};
    EXPECT_DOUBLE_EQ(TwipsLayout::scaleToFit(slightly), 1.35);
    const std::vector<Fit> byHeight = {{QSize(10, 20), QSize(20, 13)}};
    EXPECT_DOUBLE_EQ(TwipsLayout::scaleToFit(byHeight), 1.55);
    // A control with no room at all is not a reason to scale.
    const std::vector<Fit> noRoom = {{QSize(10, 10), QSize(0, 0)}};
    EXPECT_DOUBLE_EQ(TwipsLayout::scaleToFit(noRoom), 1.0);
}

TEST(DriveList, PutsTheRootFirstThenTheHomeVolumeThenTheRest)
{
    using Paths = std::vector<std::filesystem::path>;
    const Paths mounted = {"/media/usb", "/home", "/", "/boot", "/media/usb"};
    EXPECT_EQ(DriveList::ordered(mounted, "/home", "/"), (Paths{"/", "/home", "/boot", "/media/usb"}));
    EXPECT_EQ(DriveList::ordered(mounted, "/", "/"), (Paths{"/", "/boot", "/home", "/media/usb"}));
    // The current volume is offered even when the mount table hides it.
    EXPECT_EQ(DriveList::ordered({"/"}, "/", "/mnt/game"), (Paths{"/", "/mnt/game"}));
    EXPECT_EQ(DriveList::ordered({}, "/", ""), Paths{});
}

TEST(DriveList, LeavesOutTheSystemsOwnVolumes)
{
    for (const char* offered : {"/", "/home", "/media/usb", "/run/media/kim/USB", "/mnt/games", "/devices"})
        EXPECT_TRUE(DriveList::offersVolume(offered)) << offered;
    for (const char* system : {"/proc", "/sys/fs/cgroup", "/dev/shm", "/run", "/run/user/1000", "/snap/core/1", "/boot/efi"})
        EXPECT_FALSE(DriveList::offersVolume(system)) << system;
}

TEST(DriveList, FindsTheVolumeOfAFolder)
{
    const std::filesystem::path here = std::filesystem::current_path();
    const std::filesystem::path volume = DriveList::driveOf(here);
    ASSERT_FALSE(volume.empty());
    // The folder lies on its volume.
    const auto [end, ignored] = std::mismatch(volume.begin(), volume.end(), here.begin(), here.end());
    EXPECT_EQ(end, volume.end());
    const auto drives = DriveList::drives(volume);
    EXPECT_NE(std::find(drives.begin(), drives.end(), volume), drives.end());
    EXPECT_EQ(drives.front(), drives.front().root_path());
}

TEST(MessageBoxPresenter, BuildsAnErrorBoxWithTheExactCaptionTextAndASingleOk)
{
    const auto box = MessageBoxPresenter::makeBox("Min size",
                                                  "Minimum wheelsize is 14 inch!!!! \rThe size has been corrected.",
                                                  nullptr);
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(box->windowTitle(), "Min size");
    EXPECT_EQ(box->text(), "Minimum wheelsize is 14 inch!!!! \nThe size has been corrected.");
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(box->buttons().size(), 1);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_NE(box->windowModality(), Qt::NonModal);
}

TEST(MessageBoxPresenter, KeepsTextAsItIsApartFromLineBreaks)
{
    EXPECT_EQ(MessageBoxPresenter::displayText("Maximal wheelsize is 21 inch!!!!"), "Maximal wheelsize is 21 inch!!!!");
    EXPECT_EQ(MessageBoxPresenter::displayText("a\r\nb\rc\nd"), "a\nb\nc\nd");
    EXPECT_EQ(MessageBoxPresenter::displayText("<b>car</b>"), "<b>car</b>");
}

} // namespace
} // namespace quendral
