#pragma once

// Tables as RFC 4180 has them and spreadsheets write them: cells parted by
// a delimiter, records by CR LF, LF or CR alone; a cell in quotes may hold
// the delimiter, line breaks and quotes, the latter doubled.

#include <cstddef>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace quendral::cli {

struct CsvRecord
{
    std::size_t line = 0;            // where the record starts, counting from 1
    std::vector<std::string> cells;  // the first of them, as many as the reader keeps
    std::size_t cellCount = 0;       // all of them
};

class CsvReader
{
public:
    // Cells of a record beyond the first `keptCells` are counted but not
    // kept, so that a row of a million delimiters costs no memory.
    explicit CsvReader(char delimiter = ',', std::size_t keptCells = std::numeric_limits<std::size_t>::max());

    // The records of `text`, a UTF-8 byte-order mark before it skipped,
    // blank lines left out; the last may lack its line break. Returns false
    // with the problem, its line and column named, when the quotes of a
    // cell are not as CSV has them: blanks around a cell are part of it, so
    // a quote belongs only at either end of the cell.
    bool read(std::string_view text, std::vector<CsvRecord>& records, std::string& problem) const;

    // The same, each record handed to `take` as it is read and then
    // dropped, so that a table costs no more memory than its largest
    // record. Reading stops where `take` returns false.
    bool read(std::string_view text, const std::function<bool(CsvRecord&)>& take, std::string& problem) const;

private:
    char m_delimiter;
    std::size_t m_keptCells;
};

} // namespace quendral::cli
