#include "cli/table.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "component/number_text.h"

namespace sheetlore::cli {
namespace {

bool IsWide(wchar_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6);
}

std::wstring Padding(std::size_t count) { return std::wstring(count, L' '); }

std::wstring JsonString(const std::wstring& text) {
  std::wstring out = L"\"";
  for (const wchar_t c : text) {
    switch (c) {
      case L'"':
        out += L"\\\"";
        break;
      case L'\\':
        out += L"\\\\";
        break;
      case L'\n':
        out += L"\\n";
        break;
      case L'\r':
        out += L"\\r";
        break;
      case L'\t':
        out += L"\\t";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          wchar_t escaped[8];
          std::swprintf(escaped, 8, L"\\u%04x", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + L"\"";
}

std::wstring JsonValue(const Cell& cell) {
  if (cell.kind == CellKind::Error) {
    if (!cell.error) return L"null";
    return L"{\"operation\": " + JsonString(cell.error->operation) + L", \"code\": " +
           std::to_wstring(cell.error->code) + L", \"text\": " + JsonString(cell.error->text) +
           L"}";
  }
  if (cell.kind == CellKind::Boolean) return cell.text == L"yes" ? L"true" : L"false";
  if (cell.kind == CellKind::Text) return JsonString(cell.text);
  if (cell.kind == CellKind::Null) return L"null";
  // JSON has no INF or NAN: such a value travels as text.
  if (!std::isfinite(cell.value)) return JsonString(cell.text);
  return ShortestNumber(cell.value);
}

// A cell as one CSV field holds it (before quoting): numbers and booleans as JSON writes them.
std::wstring CsvText(const Cell& cell) {
  if (cell.kind == CellKind::Boolean) return cell.text == L"yes" ? L"true" : L"false";
  if (cell.kind == CellKind::Number && std::isfinite(cell.value)) {
    return ShortestNumber(cell.value);
  }
  return cell.text;
}

std::wstring JsonObject(const Table& table, const std::vector<Cell>& row,
                        const std::wstring& indent) {
  std::wstring out = L"{";
  for (std::size_t c = 0; c < table.columns.size(); ++c) {
    out += (c == 0 ? L"\n" : L",\n") + indent + L"  " + JsonString(table.columns[c].key) + L": " +
           JsonValue(row[c]);
  }
  return out + L"\n" + indent + L"}";
}

std::wstring CsvField(const std::wstring& text) {
  const bool quote = text.find_first_of(L",\"\r\n") != std::wstring::npos ||
                     (!text.empty() && (text.front() == L' ' || text.back() == L' '));
  if (!quote) return text;
  std::wstring out = L"\"";
  for (const wchar_t c : text) {
    if (c == L'"') out += L'"';
    out += c;
  }
  return out + L"\"";
}

}  // namespace

std::wstring ShortestNumber(double value) {
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::wstring(buffer, end);
}

Cell Text(std::wstring text) { return Cell{std::move(text), CellKind::Text, 0, std::nullopt}; }
Cell Number(double value) { return Cell{NumberText(value), CellKind::Number, value, std::nullopt}; }
Cell Integer(long long value) {
  return Cell{std::to_wstring(value), CellKind::Number, static_cast<double>(value), std::nullopt};
}
Cell Null() { return Cell{std::wstring(), CellKind::Null, 0, std::nullopt}; }
Cell Boolean(bool value) {
  return Cell{value ? L"yes" : L"no", CellKind::Boolean, 0, std::nullopt};
}
Cell ErrorCell(std::optional<PlatformError> error) {
  std::wstring text = error ? Describe(*error) : std::wstring();
  return Cell{std::move(text), CellKind::Error, 0, std::move(error)};
}

std::size_t DisplayWidth(const std::wstring& text) {
  std::size_t width = 0;
  for (const wchar_t c : text) {
    if (c >= 0xDC00 && c <= 0xDFFF) continue;  // the second half of a surrogate pair
    width += IsWide(c) ? 2 : 1;
  }
  return width;
}

std::wstring RenderText(const Table& table) {
  std::wstring out;
  if (table.record) {
    std::size_t titleWidth = 0;
    for (const Column& column : table.columns) {
      titleWidth = std::max(titleWidth, DisplayWidth(column.title));
    }
    for (const auto& row : table.rows) {
      for (std::size_t c = 0; c < table.columns.size(); ++c) {
        const std::wstring& title = table.columns[c].title;
        std::wstring line =
            title + L":" + Padding(titleWidth - DisplayWidth(title) + 1) + row[c].text;
        line.erase(line.find_last_not_of(L' ') + 1);  // an empty value leaves no blanks
        out += line + L"\n";
      }
    }
    return out;
  }
  std::vector<std::size_t> widths;
  for (const Column& column : table.columns) widths.push_back(DisplayWidth(column.title));
  for (const auto& row : table.rows) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      widths[c] = std::max(widths[c], DisplayWidth(row[c].text));
    }
  }
  const auto line = [&](const std::vector<std::wstring>& cells) {
    std::wstring text;
    for (std::size_t c = 0; c < cells.size(); ++c) {
      const std::wstring gap = Padding(widths[c] - DisplayWidth(cells[c]));
      const bool last = c + 1 == cells.size();
      if (c > 0) text += L"  ";
      if (table.columns[c].numeric) {
        text += gap + cells[c];
      } else {
        text += cells[c] + (last ? std::wstring() : gap);
      }
    }
    // An empty last cell leaves no blanks at the end of the line.
    text.erase(text.find_last_not_of(L' ') + 1);
    return text + L"\n";
  };
  std::vector<std::wstring> titles;
  for (const Column& column : table.columns) titles.push_back(column.title);
  out += line(titles);
  for (const auto& row : table.rows) {
    std::vector<std::wstring> cells;
    for (const Cell& cell : row) cells.push_back(cell.text);
    out += line(cells);
  }
  return out;
}

std::wstring RenderJson(const Table& table) {
  if (table.record) {
    return (table.rows.empty() ? L"null" : JsonObject(table, table.rows.front(), L"")) + L"\n";
  }
  if (table.rows.empty()) return L"[]\n";
  std::wstring out = L"[";
  for (std::size_t r = 0; r < table.rows.size(); ++r) {
    out += (r == 0 ? L"\n  " : L",\n  ") + JsonObject(table, table.rows[r], L"  ");
  }
  return out + L"\n]\n";
}

std::wstring RenderCsv(const Table& table) {
  // The byte-order mark tells spreadsheet programs that the file is UTF-8.
  std::wstring out = L"\xFEFF";
  const auto line = [&out](const std::vector<std::wstring>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i > 0) out += L',';
      out += CsvField(fields[i]);
    }
    out += L"\n";
  };
  // An error column is three fields wherever a row has an error cell in it.
  std::vector<bool> errorColumns(table.columns.size(), false);
  for (const auto& row : table.rows) {
    for (std::size_t c = 0; c < row.size() && c < errorColumns.size(); ++c) {
      if (row[c].kind == CellKind::Error) errorColumns[c] = true;
    }
  }
  std::vector<std::wstring> names;
  for (std::size_t c = 0; c < table.columns.size(); ++c) {
    const std::wstring& key = table.columns[c].key;
    if (errorColumns[c]) {
      names.insert(names.end(), {key + L"_operation", key + L"_code", key + L"_text"});
    } else {
      names.push_back(key);
    }
  }
  line(names);
  for (const auto& row : table.rows) {
    std::vector<std::wstring> fields;
    for (std::size_t c = 0; c < row.size(); ++c) {
      const Cell& cell = row[c];
      if (c < errorColumns.size() && errorColumns[c]) {
        if (cell.error) {
          fields.insert(fields.end(), {cell.error->operation, std::to_wstring(cell.error->code),
                                       cell.error->text});
        } else {
          fields.insert(fields.end(), 3, std::wstring());
        }
      } else {
        fields.push_back(CsvText(cell));
      }
    }
    line(fields);
  }
  return out;
}

namespace {

// The table without its error columns in which no row has an error: a command that met no
// refusal prints what it printed before errors were reported.
Table WithoutEmptyErrorColumns(const Table& table) {
  std::vector<bool> keep(table.columns.size(), true);
  for (std::size_t c = 0; c < table.columns.size(); ++c) {
    bool anyError = false;
    for (const auto& row : table.rows) anyError = anyError || (c < row.size() && row[c].error);
    keep[c] = !table.columns[c].error || anyError;
  }
  Table kept(std::vector<Column>{}, table.record);
  for (std::size_t c = 0; c < table.columns.size(); ++c) {
    if (keep[c]) kept.columns.push_back(table.columns[c]);
  }
  for (const auto& row : table.rows) {
    std::vector<Cell> cells;
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (c >= keep.size() || keep[c]) cells.push_back(row[c]);
    }
    kept.AddRow(std::move(cells));
  }
  return kept;
}

}  // namespace

std::wstring Render(const Table& given, OutputFormat format) {
  // JSON always holds "error" (null without one), so that every row has the same members.
  if (format == OutputFormat::Json) return RenderJson(given);
  const Table table = WithoutEmptyErrorColumns(given);
  return format == OutputFormat::Csv ? RenderCsv(table) : RenderText(table);
}

std::wstring RenderFailure(const std::wstring& message, int status,
                           const std::optional<PlatformError>& cause, OutputFormat format) {
  if (format == OutputFormat::Text) return std::wstring();
  std::vector<Column> columns{{L"Message", L"message"}, {L"Status", L"status", true}};
  std::vector<Cell> row{Text(message), Integer(status)};
  if (cause) {
    columns.insert(columns.end(),
                   {{L"Operation", L"operation"}, {L"Code", L"code", true}, {L"Text", L"text"}});
    row.insert(row.end(), {Text(cause->operation), Integer(cause->code), Text(cause->text)});
  }
  if (format == OutputFormat::Csv) {
    for (Column& column : columns) column.key = L"error_" + column.key;
    Table record(std::move(columns), true);
    record.AddRow(std::move(row));
    return RenderCsv(record);
  }
  std::wstring out = L"{\"error\": {";
  for (std::size_t c = 0; c < columns.size(); ++c) {
    out += (c == 0 ? L"" : L", ") + JsonString(columns[c].key) + L": " + JsonValue(row[c]);
  }
  return out + L"}}\n";
}

}  // namespace sheetlore::cli
