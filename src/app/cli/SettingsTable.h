#pragma once

// The table of cars' settings that `export` writes and `import` reads, as
// CSV or JSON: one row per car, its cells the texts `show` prints.

#include "app/cli/Json.h"
#include "settings/CarSettings.h"

#include <array>
#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace quendral::cli {

// The last, the script's fingerprint as exported, may be left out of a
// table made by hand or by an older export.
inline constexpr std::array<std::string_view, 11> Columns = {"car",   "I4",    "V6",   "V8",  "V10",   "drive",
                                                             "front", "rear", "min", "max", "script"};
inline constexpr std::size_t CarColumn = 0;
inline constexpr std::size_t FirstEngineColumn = 1;
inline constexpr std::size_t DriveColumn = 5;
inline constexpr std::size_t FrontColumn = 6;
inline constexpr std::size_t RearColumn = 7;
inline constexpr std::size_t MinColumn = 8;
inline constexpr std::size_t MaxColumn = 9;
inline constexpr std::size_t ScriptColumn = 10;

// The cells of a row by column: the car's name, yes or no for each engine
// family, front, rear, all or none, both positions and both wheel-size
// texts, names and texts as asUtf8 gives them; and the fingerprint of the
// script they were read from, empty when a table gives none.
using CarRow = std::array<std::string, Columns.size()>;

CarRow rowOf(std::string_view car, const CarSettings& settings, std::string fingerprint);

// A row as JSON: yes and no as true and false, positions as numbers, no
// fingerprint when it has none.
Json rowJson(const CarRow& row);

// The header and the rows as spreadsheets write CSV: CR LF after each row,
// a cell in quotes when it holds a comma, a quote, a line break or blanks
// at either end, its quotes doubled; and a cell that a spreadsheet would
// take for a formula after a '.
void writeCsv(std::ostream& out, const std::vector<CarRow>& rows);

struct TableRow
{
    CarRow cells;
    std::size_t line = 0;  // where the row starts in the table's text
};

// Problems of a table, each naming its line, and its column where it has
// one. Only the first are kept, so that a hostile table costs no memory.
struct TableProblems
{
    static constexpr std::size_t Kept = 20;
    std::vector<std::string> kept;
    std::size_t count = 0;

    void add(std::string problem);
    bool empty() const { return count == 0; }
};

// A text for a message, cut after 80 characters with "…"; and that of a
// cell, in quotes.
std::string cutText(std::string_view text);
std::string shownCell(std::string_view text);

// A table as read, each cell of each row checked against its column's
// values; the car names and wheel sizes are left to the import.
struct Table
{
    bool json = false;
    std::vector<TableRow> rows;
    TableProblems problems;

    // "line 4, column 7 (front)" in CSV, "line 4, "front"" in JSON.
    std::string where(const TableRow& row, std::size_t column) const;
};

// Whether a table is JSON: by the extension of its name, else by its
// first character.
bool isJsonTable(std::string_view name, std::string_view data);

// Keeps at most `keptRows` rows: a table with more names some car twice or
// a car the racers folder lacks, and reading on would only cost memory.
Table readTable(std::string_view data, bool json, std::size_t keptRows);

} // namespace quendral::cli
