#pragma once
// What a command prints: a table of rows, or one record, rendered as aligned text, JSON or
// CSV. Numbers keep their type in JSON; text is UTF-16 and is escaped as each format needs.
// JSON and CSV name each value by its column's key (the CSV header is those names, after a
// byte-order mark) and write numbers in the shortest form that reads back as the same value.

#include <string>
#include <vector>

#include <optional>

#include "cli/command_line.h"
#include "cli/platform_error.h"

namespace sheetlore::cli {

struct Column {
  std::wstring title;  // the text output's heading
  std::wstring key;    // the JSON member name and CSV header
  bool numeric = false;
  bool error = false;  // holds ErrorCell cells; left out when no row has an error
};

inline Column ErrorColumn() { return Column{L"Error", L"error", false, true}; }

enum class CellKind { Text, Number, Boolean, Error, Null };

struct Cell {
  std::wstring text;  // as the text output shows it
  CellKind kind = CellKind::Text;
  double value = 0;  // a Number cell's value, which JSON and CSV write
  // An Error cell's parts: JSON shows {"operation", "code", "text"} (null without an error),
  // CSV three fields (the column's key with "_operation", "_code" and "_text").
  std::optional<PlatformError> error;
};

Cell Text(std::wstring text);
Cell Number(double value);  // the component's number text: "." and at most 15 digits
Cell Integer(long long value);
Cell Null();               // no value: empty in text and CSV, null in JSON
Cell Boolean(bool value);  // "yes"/"no" in text, true/false in JSON and CSV
Cell ErrorCell(std::optional<PlatformError> error);  // text: Describe, or empty

struct Table {
  Table() = default;
  explicit Table(std::vector<Column> columnList, bool isRecord = false)
      : columns(std::move(columnList)), record(isRecord) {}

  std::vector<Column> columns;
  std::vector<std::vector<Cell>> rows;
  // One record: text shows "Title: value" lines, JSON an object instead of an array.
  bool record = false;

  void AddRow(std::vector<Cell> row) { rows.push_back(std::move(row)); }
};

// Renders with "\n" line ends. Text leaves out an error column in which no row has an error;
// JSON and CSV keep it, so that scripts always find the same members.
std::wstring Render(const Table& table, OutputFormat format);
std::wstring RenderText(const Table& table);
std::wstring RenderJson(const Table& table);
std::wstring RenderCsv(const Table& table);

// A command that ended without its output: JSON gives {"error": {"message", "status",
// "operation", "code", "text"}} (the last three only with a cause), CSV the same as one row
// (error_message, error_status, error_operation, ...), text nothing.
std::wstring RenderFailure(const std::wstring& message, int status,
                           const std::optional<PlatformError>& cause, OutputFormat format);

// The shortest text that reads back as the same double ("21", "18.415", "1e+300").
std::wstring ShortestNumber(double value);

// Columns a terminal gives the text: East Asian wide characters take two.
std::size_t DisplayWidth(const std::wstring& text);

}  // namespace sheetlore::cli
