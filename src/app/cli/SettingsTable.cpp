#include "app/cli/SettingsTable.h"

#include "app/cli/ConsoleLineEnds.h"
#include "app/cli/CsvReader.h"
#include "controls/EditingControls.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <ostream>

namespace quendral::cli {

namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";

std::string inQuotes(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

std::string header()
{
    std::string text;
    for (const std::string_view column : Columns)
        text.append(text.empty() ? "" : ",").append(column);
    return text;
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
        return inQuotes(text) + " is neither yes nor no";
    if (column == DriveColumn && text != "none"
        && std::find(DriveNames.begin(), DriveNames.end(), text) == DriveNames.end())
        return inQuotes(text) + " is not a drive: front, rear, all or none";
    if (column == FrontColumn || column == RearColumn) {
        int position = -1;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), position);
        if (error != std::errc() || end != text.data() + text.size() || text.front() == '-'
            || position < EditingControls::RideHeightMinimum || position > EditingControls::RideHeightMaximum)
            return inQuotes(text) + " is not a ride height: a whole number from 0 to 30";
    }
    return {};
}

// Also writes each position as the export does: "07" is 7.
void checkCells(Table& table, TableRow& row)
{
    for (std::size_t column = 0; column < Columns.size(); ++column) {
        std::string& cell = row.cells[column];
        if (const std::string problem = cellProblem(column, cell); !problem.empty())
            table.problems.push_back(table.where(row, column) + ": " + problem);
        else if (column == FrontColumn || column == RearColumn)
            cell = std::to_string(std::stoi(cell));
    }
}

void readCsv(std::string_view data, Table& table)
{
    // A spreadsheet set to another language may part the cells with
    // semicolons or tabs; the header tells.
    char delimiter = ',';
    for (const char other : {';', '\t'})
        if (data.starts_with(std::string("car") + other) || data.starts_with(std::string("\"car\"") + other))
            delimiter = other;
    std::vector<CsvRecord> records;
    std::string problem;
    if (!CsvReader(delimiter, Columns.size() + 1).read(data, records, problem)) {
        table.problems.push_back(problem);
        return;
    }
    const std::vector<std::string> expected(Columns.begin(), Columns.end());
    if (records.empty() || records.front().cells != expected) {
        table.problems.push_back("line 1: the header is not that of this table; it reads " + header()
                                 + " (as export writes it)");
        return;
    }
    for (auto record = records.begin() + 1; record != records.end(); ++record) {
        // Spreadsheets end a table with rows of empty cells.
        if (std::all_of(record->cells.begin(), record->cells.end(), [](const std::string& c) { return c.empty(); }))
            continue;
        if (record->cellCount != Columns.size()) {
            table.problems.push_back("line " + std::to_string(record->line) + ": the row has "
                                     + std::to_string(record->cellCount) + " cells where the header has "
                                     + std::to_string(Columns.size()));
            continue;
        }
        TableRow row;
        row.line = record->line;
        std::move(record->cells.begin(), record->cells.end(), row.cells.begin());
        checkCells(table, row);
        table.rows.push_back(std::move(row));
    }
}

// The line each element of the top-level array starts on.
std::vector<std::size_t> elementLines(std::string_view data)
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
    } else if ((column == MinColumn || column == MaxColumn) && value.is_number_integer()) {
        return value.dump();
    }
    return std::nullopt;
}

constexpr std::string_view JsonShape = "an array of objects with the keys car, I4, V6, V8, V10, drive, front, rear, "
                                       "min and max, as export --format json writes it";

void readJson(std::string_view data, Table& table)
{
    // A row holds no array or object: what does is dropped as it is read,
    // so that a table of brackets nested a million deep costs no memory.
    bool tooDeep = false;
    const Json::parser_callback_t shallow = [&tooDeep](int depth, Json::parse_event_t event, Json&) {
        const bool nests = event == Json::parse_event_t::object_start || event == Json::parse_event_t::array_start;
        tooDeep = tooDeep || (nests && depth >= 2);
        return !tooDeep;
    };
    Json document;
    try {
        document = Json::parse(data, shallow);
    } catch (const Json::parse_error& error) {
        // "[json.exception.parse_error.101] parse error at line 1, column 2: ..."
        const std::string text = error.what();
        table.problems.push_back(text.substr(std::min(text.find("] ") + 2, text.size())));
        return;
    }
    if (tooDeep) {
        table.problems.push_back("the table holds arrays or objects inside its rows: it is " + std::string(JsonShape));
        return;
    }
    if (!document.is_array()) {
        table.problems.push_back("line 1: the table is no JSON array: it is " + std::string(JsonShape));
        return;
    }
    const std::vector<std::size_t> lines = elementLines(data);
    for (std::size_t i = 0; i < document.size(); ++i) {
        TableRow row;
        row.line = i < lines.size() ? lines[i] : 0;
        const Json& element = document[i];
        const std::string where = "line " + std::to_string(row.line);
        if (!element.is_object()) {
            table.problems.push_back(where + ": the element is no object: the table is " + std::string(JsonShape));
            continue;
        }
        bool complete = true;
        for (const auto& [key, value] : element.items())
            if (std::find(Columns.begin(), Columns.end(), key) == Columns.end()) {
                table.problems.push_back(where + ", " + inQuotes(asUtf8(key)) + ": the table has no such key; it is "
                                         + std::string(JsonShape));
                complete = false;
            }
        for (std::size_t column = 0; column < Columns.size(); ++column) {
            const auto value = element.find(Columns[column]);
            if (value == element.end()) {
                table.problems.push_back(where + ": " + inQuotes(Columns[column]) + " is missing");
                complete = false;
                continue;
            }
            std::optional<std::string> text = cellText(column, *value);
            if (!text) {
                table.problems.push_back(table.where(row, column) + ": " + value->dump()
                                         + " is not a value of this key; the table is " + std::string(JsonShape));
                complete = false;
                continue;
            }
            row.cells[column] = std::move(*text);
        }
        if (!complete)
            continue;
        checkCells(table, row);
        table.rows.push_back(std::move(row));
    }
}

std::string csvCell(std::string_view text)
{
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

std::string_view driveName(const EditingControls& controls)
{
    const int drive = controls.driveSystem.selected();
    return drive >= 0 && drive < static_cast<int>(DriveNames.size()) ? DriveNames[static_cast<std::size_t>(drive)]
                                                                      : "none";
}

CarRow rowOf(std::string_view car, const EditingControls& controls)
{
    CarRow row;
    row[CarColumn] = asUtf8(car);
    const auto checks = controls.engineChecks();
    for (std::size_t i = 0; i < checks.size(); ++i)
        row[FirstEngineColumn + i] = checks[i]->isChecked() ? "yes" : "no";
    row[DriveColumn] = driveName(controls);
    row[FrontColumn] = std::to_string(controls.frontHeight.value());
    row[RearColumn] = std::to_string(controls.rearHeight.value());
    row[MinColumn] = asUtf8(controls.smallestWheel.text());
    row[MaxColumn] = asUtf8(controls.largestWheel.text());
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
        else
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

Table readTable(std::string_view data, bool json)
{
    Table table;
    table.json = json;
    if (data.starts_with("\xFF\xFE") || data.starts_with("\xFE\xFF")) {
        table.problems.push_back("line 1: the table is in UTF-16; save it as UTF-8");
        return table;
    }
    if (data.starts_with(Utf8Mark))
        data.remove_prefix(Utf8Mark.size());
    if (json)
        readJson(data, table);
    else
        readCsv(data, table);
    return table;
}

} // namespace quendral::cli
