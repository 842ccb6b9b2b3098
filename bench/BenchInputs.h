#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace quendral::bench {

// The demo car every input is made from.
std::filesystem::path demoCarFolder();

// A car script of at least `size` bytes grown from the demo car: its own
// lines as they stand, with the lines the editor does not recognise (the
// comments, name, mass, colour, gears and so on) repeated in front of the
// wheel blocks until the size is reached. It stays a well-formed car
// script: one camera line, one engine block, four wheel blocks.
std::string largeScript(std::size_t size);

// Fills `racersFolder` with `count` cars, each a car file and a car folder
// holding a copy of the demo car's script, named so that the folder's order
// is the cars' order.
void makeRacersFolder(const std::filesystem::path& racersFolder, int count);

// A racers folder of `cars` cars in a scratch folder, made on first use and
// kept until the program ends.
const std::filesystem::path& racersFolderOf(int cars);

} // namespace quendral::bench
