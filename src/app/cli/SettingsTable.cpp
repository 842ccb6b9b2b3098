#include "app/cli/SettingsTable.h"

#include "app/cli/Command.h"
#include "app/cli/ConsoleLineEnds.h"
#include "app/cli/CsvReader.h"
#include "settings/SettingNames.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <ostream>
#include <set>

namespace quendral::cli {

namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";

std::string header()
{
    std::string text;
    for (const std::string_view column : Columns)
        text.append(text.empty() ? "" : ",").append(column);
    return text;
}

// What a spreadsheet takes for the start of a formula.
bool startsFormula(std::string_view text)
{
    return !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

bool isEngineColumn(std::size_t column)
{
    return column >= FirstEngineColumn && column < DriveColumn;
}

// What is wrong with a cell, empty when nothing is. Names and wheel sizes
// are checked against the cars.
std::string cellProblem(std::size_t column, const std::string& text)
{
    if (isEngineColumn(column) && text != "yes" && text != "no")
        return shownCell(text) + " is neither yes nor no";
    if (column == DriveColumn && !parseDrive(text))
        return shownCell(text) + " is not a drive: front, rear, all or none";
    if (column == FrontColumn || column == RearColumn) {
        int position = -1;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), position);
        if (error != std::errc() || end != text.data() + text.size() || text.front() == '-'
            || position < RideHeightMinimum || position > RideHeightMaximum)
            return shownCell(text) + " is not a ride height: a whole number from 0 to 30";
    }
    return {};
}

// Also writes each position as the export does: "07" is 7.
void checkCells(Table& table, TableRow& row)
{
    for (std::size_t column = 0; column < Columns.size(); ++column) {
        std::string& cell = row.cells[column];
        if (const std::string problem = cellProblem(column, cell); !problem.empty())
            table.problems.add(table.where(row, column) + ": " + problem);
        else if (column == FrontColumn || column == RearColumn)
            cell = std::to_string(std::stoi(cell));
    }
}

void readCsv(std::string_view data, Table& table, std::size_t keptRows)
{
    // A spreadsheet set to another language may part the cells with
    // semicolons or tabs; the header tells.
    char delimiter = ',';
    for (const char other : {';', '\t'})
        if (data.starts_with(std::string("car") + other) || data.starts_with(std::string("\"car\"") + other))
            delimiter = other;
    std::size_t width = 0;
    const auto take = [&](CsvRecord& record) {
        if (width == 0) {
            const std::vector<std::string> expected(Columns.begin(), Columns.end());
            if (record.cellCount < ScriptColumn || record.cellCount > Columns.size()
                || !std::equal(record.cells.begin(), record.cells.end(), expected.begin())) {
                std::string found;
                for (const std::string& cell : record.cells)
                    found.append(found.empty() ? "" : ",").append(cell);
                table.problems.add("line 1: the header is not that of this table: expected " + header()
                                   + " (as export writes it; the last column may be left out), found "
                                   + shownCell(found));
                return false;
            }
            width = record.cellCount;
            return true;
        }
        // Spreadsheets end a table with rows of empty cells.
        if (std::all_of(record.cells.begin(), record.cells.end(), [](const std::string& c) { return c.empty(); }))
            return true;
        if (record.cellCount != width) {
            table.problems.add("line " + std::to_string(record.line) + ": the row has "
                               + std::to_string(record.cellCount) + " cells where the header has "
                               + std::to_string(width));
            return true;
        }
        if (table.rows.size() == keptRows) {
            table.problems.add("line " + std::to_string(record.line) + ": the table has more rows than the racers "
                               "folder has cars; the rest of it was not read");
            return false;
        }
        TableRow row;
        row.line = record.line;
        std::move(record.cells.begin(), record.cells.end(), row.cells.begin());
        // Written by the export before what a spreadsheet would take for a
        // formula.
        for (std::string& cell : row.cells)
            if (cell.starts_with('\'') && startsFormula(std::string_view(cell).substr(1)))
                cell.erase(0, 1);
        checkCells(table, row);
        table.rows.push_back(std::move(row));
        return true;
    };
    std::string problem;
    if (!CsvReader(delimiter, Columns.size() + 1).read(data, take, problem))
        table.problems.add(problem);
    else if (width == 0)
        table.problems.add("line 1: the table is empty; it starts with the header " + header());
}

// The line each element of the top-level array starts on.
std::vector<std::size_t> elementLines(std::string_view data, std::size_t most)
{
    std::vector<std::size_t> lines;
    std::size_t line = 1;
    int depth = 0;
    bool inString = false;
    bool escape = false;
    bool elementDue = false;
    for (const char c : data) {
        if (c == '\n')
            ++line;
        if (inString) {
            if (escape)
                escape = false;
            else if (c == '\\')
                escape = true;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (elementDue && c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != ']') {
            if (lines.size() == most)
                break;
            lines.push_back(line);
            elementDue = false;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            elementDue = depth == 0;
            ++depth;
        } else if (c == ']' || c == '}') {
            --depth;
        } else if (c == ',' && depth == 1) {
            elementDue = true;
        }
    }
    return lines;
}

// A cell's text from its JSON value, or nothing when the value has the
// wrong type.
std::optional<std::string> cellText(std::size_t column, const Json& value)
{
    if (isEngineColumn(column)) {
        if (value.is_boolean())
            return value.get<bool>() ? "yes" : "no";
    } else if (column == FrontColumn || column == RearColumn) {
        if (value.is_number_integer())
            return value.dump();
    } else if (value.is_string()) {
        return value.get<std::string>();
    } else if (column == ScriptColumn && value.is_null()) {
        return std::string();
    } else if ((column == MinColumn || column == MaxColumn) && value.is_number_integer()) {
        return value.dump();
    }
    return std::nullopt;
}

constexpr std::string_view JsonShape = "an array of objects with the keys car, I4, V6, V8, V10, drive, front, rear, "
                                       "min, max and (from an export) script, as export --format json writes it";

// A row from an element of the table, or problems.
void readElement(const Json& element, std::size_t line, Table& table)
{
    TableRow row;
    row.line = line;
    const std::string where = "line " + std::to_string(row.line);
    if (!element.is_object()) {
        table.problems.add(where + ": the element is no object: the table is " + std::string(JsonShape));
        return;
    }
    bool complete = true;
    for (const auto& [key, value] : element.items())
        if (std::find(Columns.begin(), Columns.end(), key) == Columns.end()) {
            table.problems.add(where + ", " + shownCell(asUtf8(key)) + ": the table has no such key; it is "
                               + std::string(JsonShape));
            complete = false;
        }
    for (std::size_t column = 0; column < Columns.size(); ++column) {
        const auto value = element.find(Columns[column]);
        if (value == element.end()) {
            if (column != ScriptColumn) {
                table.problems.add(where + ": " + inQuotes(Columns[column]) + " is missing");
                complete = false;
            }
            continue;
        }
        std::optional<std::string> text = cellText(column, *value);
        if (!text) {
            table.problems.add(table.where(row, column) + ": " + cutText(value->dump())
                               + " is not a value of this key; the table is " + std::string(JsonShape));
            complete = false;
            continue;
        }
        row.cells[column] = std::move(*text);
    }
    if (!complete)
        return;
    checkCells(table, row);
    table.rows.push_back(std::move(row));
}

void readJson(std::string_view data, Table& table, std::size_t keptRows)
{
    const std::vector<std::size_t> lines = elementLines(data, keptRows + 1);
    // Each element of the array is made a row as soon as it is parsed and
    // then dropped, so that a table costs little more than its text. A row
    // holds no array or object: what does is dropped as it is read, so that
    // a table of brackets nested a million deep costs no memory either.
    bool tooDeep = false;
    bool tooLong = false;
    bool isArray = false;
    std::size_t element = 0;
    std::set<std::string> keys;
    const Json::parser_callback_t shallow = [&](int depth, Json::parse_event_t event, Json& parsed) {
        using Event = Json::parse_event_t;
        const bool nests = event == Event::object_start || event == Event::array_start;
        tooDeep = tooDeep || (nests && depth >= 2);
        if (depth == 0 && event == Event::array_start)
            isArray = true;
        if (tooDeep || tooLong || !isArray)
            return !tooDeep && !tooLong;
        const std::size_t line = element < lines.size() ? lines[element] : 0;
        if (event == Event::object_start && depth == 1)
            keys.clear();
        if (event == Event::key && depth == 2 && !keys.insert(parsed.get<std::string>()).second)
            table.problems.add("line " + std::to_string(line) + ", " + shownCell(asUtf8(parsed.get<std::string>()))
                               + ": the key is given twice in this element");
        const bool ended = depth == 1 && (event == Event::object_end || event == Event::array_end || event == Event::value);
        if (!ended)
            return true;
        if (element == keptRows) {
            table.problems.add("line " + std::to_string(line) + ": the table has more rows than the racers folder "
                               "has cars; the rest of it was not read");
            tooLong = true;
            return false;
        }
        readElement(parsed, line, table);
        ++element;
        return false;
    };
    Json document;
    try {
        document = Json::parse(data, shallow);
    } catch (const Json::exception& error) {
        // "[json.exception.parse_error.101] parse error at line 1, column 2: ...", or a number too large
        const std::string text = error.what();
        table.problems.add(cutText(text.substr(std::min(text.find("] ") + 2, text.size()))));
        return;
    }
    if (tooDeep) {
        table.problems.add("the table holds arrays or objects inside its rows: it is " + std::string(JsonShape));
        return;
    }
    if (!isArray)
        table.problems.add("line 1: the table is no JSON array: it is " + std::string(JsonShape));
}

std::string csvCell(std::string_view given)
{
    // A ' before a cell that starts so is taken off again by the import.
    std::string guarded;
    if (startsFormula(given) || (given.starts_with('\'') && startsFormula(given.substr(1))))
        guarded.append(1, '\'').append(given);
    const std::string_view text = guarded.empty() ? given : guarded;
    const bool plain = text.find_first_of(",\"\r\n") == std::string_view::npos
        && (text.empty() || (text.front() != ' ' && text.front() != '\t' && text.back() != ' ' && text.back() != '\t'));
    if (plain)
        return std::string(text);
    std::string cell = "\"";
    for (const char c : text)
        cell.append(c == '"' ? 2 : 1, c);
    return cell + '"';
}

} // namespace

CarRow rowOf(std::string_view car, const CarSettings& settings, std::string fingerprint)
{
    CarRow row;
    row[CarColumn] = asUtf8(car);
    for (std::size_t i = 0; i < settings.engines.size(); ++i)
        row[FirstEngineColumn + i] = settings.engines[i] ? "yes" : "no";
    row[DriveColumn] = driveName(settings.drive);
    row[FrontColumn] = std::to_string(settings.front);
    row[RearColumn] = std::to_string(settings.rear);
    row[MinColumn] = asUtf8(settings.smallest);
    row[MaxColumn] = asUtf8(settings.largest);
    row[ScriptColumn] = std::move(fingerprint);
    return row;
}

Json rowJson(const CarRow& row)
{
    Json json = Json::object();
    for (std::size_t column = 0; column < Columns.size(); ++column) {
        const std::string key(Columns[column]);
        if (isEngineColumn(column))
            json[key] = row[column] == "yes";
        else if (column == FrontColumn || column == RearColumn)
            json[key] = std::stoi(row[column]);
        else if (column != ScriptColumn || !row[column].empty())
            json[key] = row[column];
    }
    return json;
}

void writeCsv(std::ostream& out, const std::vector<CarRow>& rows)
{
    ConsoleLineEnds::keepAsWritten(out);
    out << header() << "\r\n";
    for (const CarRow& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column)
            out << (column == 0 ? "" : ",") << csvCell(row[column]);
        out << "\r\n";
    }
}

std::string Table::where(const TableRow& row, std::size_t column) const
{
    const std::string line = "line " + std::to_string(row.line);
    if (json)
        return line + ", " + inQuotes(Columns[column]);
    return line + ", column " + std::to_string(column + 1) + " (" + std::string(Columns[column]) + ")";
}

bool isJsonTable(std::string_view name, std::string_view data)
{
    const auto endsWith = [&](std::string_view extension) {
        return name.size() >= extension.size()
            && std::equal(extension.rbegin(), extension.rend(), name.rbegin(),
                          [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b); });
    };
    if (endsWith(".json"))
        return true;
    if (endsWith(".csv"))
        return false;
    if (data.starts_with(Utf8Mark))
        data.remove_prefix(Utf8Mark.size());
    const std::size_t first = data.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && (data[first] == '[' || data[first] == '{');
}

void TableProblems::add(std::string problem)
{
    if (kept.size() < Kept)
        kept.push_back(std::move(problem));
    ++count;
}

std::string cutText(std::string_view text)
{
    constexpr std::size_t Longest = 80;
    if (text.size() <= Longest)
        return std::string(text);
    // Cut before a character, not inside one.
    std::size_t end = Longest;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return std::string(text.substr(0, end)) + "\xE2\x80\xA6";
}

std::string shownCell(std::string_view text)
{
    return inQuotes(cutText(text));
}

Table readTable(std::string_view data, bool json, std::size_t keptRows)
{
    Table table;
    table.json = json;
    if (data.starts_with("\xFF\xFE") || data.starts_with("\xFE\xFF")) {
        table.problems.add("line 1: the table is in UTF-16; save it as UTF-8");
        return table;
    }
    if (data.starts_with(Utf8Mark))
        data.remove_prefix(Utf8Mark.size());
    if (const std::size_t bad = firstNonUtf8(data); bad != std::string_view::npos) {
        static constexpr char Hex[] = "0123456789ABCDEF";
        const auto byte = static_cast<unsigned char>(data[bad]);
        const std::size_t line = 1 + static_cast<std::size_t>(std::count(data.begin(), data.begin() + bad, '\n'));
        table.problems.add("line " + std::to_string(line) + ": the table is not UTF-8 (its byte " + "0x" + Hex[byte >> 4]
                           + Hex[byte & 0xF] + " is no UTF-8; a spreadsheet writes a Windows code page so): save it "
                           "as \"CSV UTF-8\"");
        return table;
    }
    if (json)
        readJson(data, table, keptRows);
    else
        readCsv(data, table, keptRows);
    return table;
}

} // namespace quendral::cli
