#include "app/cli/CsvReader.h"

#include <algorithm>

namespace quendral::cli {

namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";

// The length of the line break at `at`, 0 when there is none.
std::size_t lineBreakAt(std::string_view text, std::size_t at)
{
    if (at >= text.size())
        return 0;
    if (text[at] == '\n')
        return 1;
    if (text[at] == '\r')
        return at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1;
    return 0;
}

std::size_t lineBreaksIn(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); ++at)
        if (text[at] == '\n' || (text[at] == '\r' && (at + 1 == text.size() || text[at + 1] != '\n')))
            ++count;
    return count;
}

bool badQuotes(std::size_t line, std::size_t column, std::string& problem)
{
    problem = "line " + std::to_string(line) + ", column " + std::to_string(column)
        + ": the quotes of this cell are not as CSV has them: a cell holding a quote starts and ends with one and "
          "doubles the quotes inside, and a quoted cell ends before the table does";
    return false;
}

} // namespace

CsvReader::CsvReader(char delimiter, std::size_t keptCells) : m_delimiter(delimiter), m_keptCells(keptCells)
{
}

bool CsvReader::read(std::string_view text, std::vector<CsvRecord>& records, std::string& problem) const
{
    records.clear();
    return read(text, [&records](CsvRecord& record) {
        records.push_back(std::move(record));
        return true;
    }, problem);
}

bool CsvReader::read(std::string_view text, const std::function<bool(CsvRecord&)>& take, std::string& problem) const
{
    if (text.starts_with(Utf8Mark))
        text.remove_prefix(Utf8Mark.size());
    const char unquotedEnds[] = {m_delimiter, '\r', '\n', '"'};
    const std::string_view ends(unquotedEnds, sizeof unquotedEnds);
    std::size_t line = 1;
    std::size_t at = 0;
    while (at < text.size()) {
        if (const std::size_t length = lineBreakAt(text, at)) {
            at += length;
            ++line;
            continue;
        }
        CsvRecord record;
        record.line = line;
        while (true) {
            const std::size_t column = record.cellCount + 1;
            std::string cell;
            if (at < text.size() && text[at] == '"') {
                const std::size_t opened = line;
                ++at;
                while (true) {
                    const std::size_t quote = text.find('"', at);
                    if (quote == std::string_view::npos)
                        return badQuotes(opened, column, problem);
                    cell.append(text.substr(at, quote - at));
                    line += lineBreaksIn(text.substr(at, quote - at));
                    at = quote + 1;
                    if (at < text.size() && text[at] == '"') {
                        cell += '"';
                        ++at;
                        continue;
                    }
                    break;
                }
                if (at < text.size() && text[at] != m_delimiter && lineBreakAt(text, at) == 0)
                    return badQuotes(line, column, problem);
            } else {
                const std::size_t end = std::min(text.find_first_of(ends, at), text.size());
                if (end < text.size() && text[end] == '"')
                    return badQuotes(line, column, problem);
                cell.assign(text.substr(at, end - at));
                at = end;
            }
            if (++record.cellCount <= m_keptCells)
                record.cells.push_back(std::move(cell));
            // After a delimiter comes a cell, empty at a line break or the end.
            if (at < text.size() && text[at] == m_delimiter) {
                ++at;
                continue;
            }
            at += lineBreakAt(text, at);
            ++line;
            break;
        }
        if (!take(record))
            break;
    }
    return true;
}

} // namespace quendral::cli
