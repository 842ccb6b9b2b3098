#pragma once

// What the commands that print JSON share.

#include <nlohmann/json.hpp>

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>

namespace quendral::cli {

// Keeps its keys in the order they were added, the order of the columns.
using Json = nlohmann::ordered_json;

// Text as JSON and the tables carry it: valid UTF-8 is kept as it is, and
// each byte that is not part of a valid UTF-8 sequence (a name from a file
// system in another encoding) becomes the four characters \xHH.
std::string asUtf8(std::string_view text);
std::string pathAsUtf8(const std::filesystem::path& path);

// Where the first byte of `text` that is no part of valid UTF-8 stands, or
// npos.
std::size_t firstNonUtf8(std::string_view text);

// Prints one JSON document and a line break; the elements of an array each
// on a line of their own, so that a program can read the whole and a person
// can still read a line.
void printJson(std::ostream& out, const Json& document);

} // namespace quendral::cli
