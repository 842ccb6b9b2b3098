#include "catalogue/RacersFolderScan.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace quendral {
namespace {

namespace fs = std::filesystem;

const fs::path Racers = "/game/cars/racers";

std::vector<fs::path> folders(const std::vector<std::string>& names)
{
    std::vector<fs::path> paths;
    for (const std::string& name : names)
        paths.push_back(Racers / name);
    return paths;
}

TEST(PairCars, PairsEachCarFileWithItsFolderInFileOrder)
{
    const auto cars = pairCars(Racers, {"falcon_gt.rpk", "mistral.rpk", "vortex_r.rpk"},
                               folders({"falcon_gt", "mistral", "vortex_r"}));
    ASSERT_EQ(cars.size(), 3u);
    EXPECT_EQ(cars[0].name, "falcon_gt");
    EXPECT_EQ(cars[0].folder, Racers / "falcon_gt");
    EXPECT_EQ(cars[1].name, "mistral");
    EXPECT_EQ(cars[1].folder, Racers / "mistral");
    EXPECT_EQ(cars[2].name, "vortex_r");
    EXPECT_EQ(cars[2].folder, Racers / "vortex_r");
}

TEST(PairCars, LeavesOutFilesThatAreNoCarFiles)
{
    const auto cars = pairCars(Racers, {".rpk", "notes.txt", "big.RPK", "rpk"}, folders({"big"}));
    ASSERT_EQ(cars.size(), 1u);
    EXPECT_EQ(cars[0].name, "big");
    EXPECT_EQ(cars[0].folder, Racers / "big");
}

TEST(PairCars, PrefersTheFolderOfTheExactName)
{
    const auto cars = pairCars(Racers, {"car.rpk"}, folders({"CAR", "Car", "car"}));
    ASSERT_EQ(cars.size(), 1u);
    EXPECT_EQ(cars[0].folder, Racers / "car");
}

TEST(PairCars, ElseTakesTheFirstFolderEqualIgnoringCase)
{
    EXPECT_EQ(pairCars(Racers, {"Car.rpk"}, folders({"CAR", "cAr"}))[0].folder, Racers / "CAR");
    EXPECT_EQ(pairCars(Racers, {"Car.rpk"}, folders({"cAr", "CAR"}))[0].folder, Racers / "cAr");
}

TEST(PairCars, FoldersOfOtherNamesDoNotMatch)
{
    const auto cars = pairCars(Racers, {"car.rpk", "car2.rpk"}, folders({"ca", "car_", "car22"}));
    ASSERT_EQ(cars.size(), 2u);
    EXPECT_EQ(cars[0].folder, Racers / "car");
    EXPECT_EQ(cars[1].folder, Racers / "car2");
}

TEST(PairCars, ACarWithoutAFolderGetsThePathItsNameWouldHave)
{
    const auto cars = pairCars(Racers, {"ghost.rpk"}, {});
    ASSERT_EQ(cars.size(), 1u);
    EXPECT_EQ(cars[0].folder, Racers / "ghost");
}

TEST(PairCars, TwoCarsMayShareAFolderIgnoringCase)
{
    const auto cars = pairCars(Racers, {"CAR.rpk", "car.rpk"}, folders({"Car"}));
    ASSERT_EQ(cars.size(), 2u);
    EXPECT_EQ(cars[0].folder, Racers / "Car");
    EXPECT_EQ(cars[1].folder, Racers / "Car");
}

} // namespace
} // namespace quendral
