#pragma once
// What a command prints: a table of rows, or one record, rendered as aligned text, JSON or
// CSV. Numbers keep their type in JSON; text is UTF-16 and is escaped as each format needs.

#include <string>
#include <vector>

#include "cli/command_line.h"

namespace sheetlore::cli {

struct Column {
  std::wstring title;  // the text and CSV header
  std::wstring key;    // the JSON member name
  bool numeric = false;
};

enum class CellKind { Text, Number, Boolean };

struct Cell {
  std::wstring text;  // as text and CSV show it
  CellKind kind = CellKind::Text;
};

Cell Text(std::wstring text);
Cell Number(double value);  // the component's number text: "." and at most 15 digits
Cell Integer(long long value);
Cell Boolean(bool value);  // "yes"/"no" in text and CSV, true/false in JSON

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
