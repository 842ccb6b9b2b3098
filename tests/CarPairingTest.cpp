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

TEST(PairCars, TwoCarsMayShareAFolderIgnoringCase)
{
    const auto cars = pairCars(Racers, {"CAR.rpk", "car.rpk"}, folders({"Car"}));
    ASSERT_EQ(cars.size(), 2u);
    EXPECT_EQ(cars[0].folder, Racers / "Car");
    EXPECT_EQ(cars[1].folder, Racers / "Car");
}

} // namespace
} // namespace quendral
