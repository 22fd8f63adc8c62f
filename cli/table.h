#pragma once
// What a command prints: a table of rows, or one record, rendered as aligned text, JSON or
// CSV. Numbers keep their type in JSON; text is UTF-16 and is escaped as each format needs.

#include <string>
#include <vector>

#include <optional>

#include "cli/command_line.h"
#include "cli/platform_error.h"

namespace sheetlore::cli {

struct Column {
  std::wstring title;  // the text and CSV header
  std::wstring key;    // the JSON member name
  bool numeric = false;
  bool error = false;  // holds ErrorCell cells; left out when no row has an error
};

inline Column ErrorColumn() { return Column{L"Error", L"error", false, true}; }

enum class CellKind { Text, Number, Boolean, Error };

struct Cell {
  std::wstring text;  // as text and CSV show it
  CellKind kind = CellKind::Text;
  // An Error cell's parts: JSON shows {"operation", "code", "text"} (null without an error),
  // CSV three fields (the column's title with " operation", " code" and " text").
  std::optional<PlatformError> error;
};

Cell Text(std::wstring text);
Cell Number(double value);  // the component's number text: "." and at most 15 digits
Cell Integer(long long value);
Cell Boolean(bool value);  // "yes"/"no" in text and CSV, true/false in JSON
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

// Renders with "\n" line ends.
std::wstring Render(const Table& table, OutputFormat format);
std::wstring RenderText(const Table& table);
std::wstring RenderJson(const Table& table);
std::wstring RenderCsv(const Table& table);

// Columns a terminal gives the text: East Asian wide characters take two.
std::size_t DisplayWidth(const std::wstring& text);

}  // namespace sheetlore::cli
