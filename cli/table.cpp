#include "cli/table.h"

#include <algorithm>
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
  // JSON has no INF or NAN: such a value travels as text.
  if (cell.text == L"INF" || cell.text == L"-INF" || cell.text == L"NAN") {
    return JsonString(cell.text);
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

Cell Text(std::wstring text) { return Cell{std::move(text), CellKind::Text, std::nullopt}; }
Cell Number(double value) { return Cell{NumberText(value), CellKind::Number, std::nullopt}; }
Cell Integer(long long value) {
  return Cell{std::to_wstring(value), CellKind::Number, std::nullopt};
}
Cell Boolean(bool value) { return Cell{value ? L"yes" : L"no", CellKind::Boolean, std::nullopt}; }
Cell ErrorCell(std::optional<PlatformError> error) {
  std::wstring text = error ? Describe(*error) : std::wstring();
  return Cell{std::move(text), CellKind::Error, std::move(error)};
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
        out += title + L":" + Padding(titleWidth - DisplayWidth(title) + 1) + row[c].text + L"\n";
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
  std::wstring out;
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
  std::vector<std::wstring> titles;
  for (std::size_t c = 0; c < table.columns.size(); ++c) {
    const std::wstring& title = table.columns[c].title;
    if (errorColumns[c]) {
      titles.insert(titles.end(), {title + L" operation", title + L" code", title + L" text"});
    } else {
      titles.push_back(title);
    }
  }
  line(titles);
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
        fields.push_back(cell.text);
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
  const Table table = WithoutEmptyErrorColumns(given);
  switch (format) {
    case OutputFormat::Json:
      return RenderJson(table);
    case OutputFormat::Csv:
      return RenderCsv(table);
    case OutputFormat::Text:
      break;
  }
  return RenderText(table);
}

}  // namespace sheetlore::cli
