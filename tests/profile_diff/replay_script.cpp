#include "tests/profile_diff/replay_script.h"

#include <cstdio>
#include <iterator>
#include <sstream>
#include <vector>

namespace sheetlore::profile_diff {
namespace {

std::string Hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

}  // namespace

std::string EscapeText(const std::wstring& text) {
  std::string escaped;
  for (wchar_t c : text) {
    const auto value = static_cast<unsigned>(c);
    if (value > 0xff) {
      escaped += "%u" + Hex(value, 4);
    } else if (value < 0x21 || value > 0x7e || value == '%' || value == '~' || value == '=') {
      escaped += "%" + Hex(value, 2);
    } else {
      escaped += static_cast<char>(value);
    }
  }
  return escaped;
}

std::string EscapeBytes(const std::string& bytes) {
  std::wstring widened;
  for (char c : bytes) widened += static_cast<wchar_t>(static_cast<unsigned char>(c));
  return EscapeText(widened);
}

std::string EncodeArgument(const OptionalText& text) {
  return text ? "=" + EscapeText(*text) : "~";
}

OptionalText DecodeArgument(const std::string& token) {
  if (token == "~" || token.empty() || token[0] != '=') return std::nullopt;
  std::wstring text;
  for (std::size_t i = 1; i < token.size(); ++i) {
    if (token[i] == '%' && i + 1 < token.size() && token[i + 1] == 'u' && i + 5 < token.size()) {
      text += static_cast<wchar_t>(std::stoul(token.substr(i + 2, 4), nullptr, 16));
      i += 5;
    } else if (token[i] == '%' && i + 2 < token.size()) {
      text += static_cast<wchar_t>(std::stoul(token.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      text += static_cast<wchar_t>(static_cast<unsigned char>(token[i]));
    }
  }
  return text;
}

bool Replay(std::istream& script, contract::ProfileBackend& backend, std::ostream& out) {
  std::string line;
  while (std::getline(script, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line[0] == '#') {
      out << line << "\n";
      continue;
    }
    std::istringstream words(line);
    const std::vector<std::string> tokens{std::istream_iterator<std::string>(words), {}};
    const std::string& command = tokens[0];
    if (command == "F" && tokens.size() == 2) {
      const OptionalText text = DecodeArgument(tokens[1]);
      std::optional<std::string> bytes;
      if (text) bytes = std::string(text->begin(), text->end());
      backend.SetFileBytes(bytes);
    } else if (command == "W" && tokens.size() == 4) {
      const bool result =
          backend.profile().WriteString(DecodeArgument(tokens[1]), DecodeArgument(tokens[2]),
                                        DecodeArgument(tokens[3]), backend.path());
      out << "W " << (result ? 1 : 0) << "\n";
    } else if (command == "R" && tokens.size() == 5) {
      std::wstring text;
      const std::uint32_t count = backend.profile().GetString(
          DecodeArgument(tokens[1]), DecodeArgument(tokens[2]),
          DecodeArgument(tokens[3]).value_or(L""),
          static_cast<std::uint32_t>(std::stoul(tokens[4])), text, backend.path());
      out << "R " << count << " =" << EscapeText(text) << "\n";
    } else if (command == "P" && tokens.size() == 1) {
      const std::optional<std::string> bytes = backend.FileBytes();
      out << "P " << (bytes ? 1 : 0) << " =" << (bytes ? EscapeBytes(*bytes) : "") << "\n";
    } else {
      out << "? " << line << "\n";
      return false;
    }
  }
  return true;
}

}  // namespace sheetlore::profile_diff
