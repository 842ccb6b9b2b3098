// Writes the inputs of the side-by-side comparison (bench/compare): a large
// car script and racers folders of many cars, grown from the demo car.

#include "BenchInputs.h"

#include <cstdlib>
#include <exception>
#include <fstream>
#include <iostream>
#include <string>

namespace {

constexpr const char* Usage =
    "usage: quendral-bench-inputs script FILE BYTES\n"
    "       quendral-bench-inputs racers RACERS_FOLDER CARS\n";

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::cerr << Usage;
        return 2;
    }
    const std::string what = argv[1];
    const std::filesystem::path target = argv[2];
    const long long amount = std::atoll(argv[3]);
    try {
        if (what == "script" && amount > 0) {
            const std::string script = quendral::bench::largeScript(static_cast<std::size_t>(amount));
            std::filesystem::create_directories(target.parent_path());
            std::ofstream out(target, std::ios::binary | std::ios::trunc);
            out.write(script.data(), static_cast<std::streamsize>(script.size()));
            if (!out) {
                std::cerr << "quendral-bench-inputs: cannot write " << target.string() << '\n';
                return 1;
            }
            return 0;
        }
        if (what == "racers" && amount > 0) {
            quendral::bench::makeRacersFolder(target, static_cast<int>(amount));
            return 0;
        }
    } catch (const std::exception& e) {
        std::cerr << "quendral-bench-inputs: " << e.what() << '\n';
        return 1;
    }
    std::cerr << Usage;
    return 2;
}
