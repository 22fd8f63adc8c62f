// Writes random profile scripts for the differential test:
//   profile_script_generator <seed> <sequences>
// Each sequence starts from a random file (or none) and applies random writes, deletes and
// reads: names in several letter cases and with blanks around them, quoted values, missing
// sections and keys, comments and odd lines in the file, and buffers from 0 characters up.
// Names with letters outside ASCII meet both files in the ANSI code page and UTF-16 files
// (those a first write creates).
#include <cstdint>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "tests/profile_diff/replay_script.h"

namespace sheetlore::profile_diff {
namespace {

class Generator {
 public:
  explicit Generator(std::uint32_t seed) : random_(seed) {}

  void Sequence(std::ostream& out) {
    out << "F " << EncodeArgument(InitialFile()) << "\n";
    const int operations = Between(5, 30);
    for (int i = 0; i < operations; ++i) out << Operation() << "\n";
    out << "P\n";
  }

 private:
  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  bool Chance(int percent) { return Between(1, 100) <= percent; }

  template <typename T>
  const T& Pick(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Between(0, static_cast<int>(items.size()) - 1))];
  }

  std::wstring Section() {
    static const std::vector<std::wstring> names = {
        L"PrintMain", L"printmain", L"PRINTMAIN", L"A5X", L"a5x", L" A5X", L"A5X ", L"Sec One",
        L"sec one", L"x", L"", L" ", L"a]b", L"[x", L"Q\"q\"", L"tab\tx",
        L"Long Section Name With Words", L"two\nlines",
        // letters with a case outside ASCII, and
        // names outside the ANSI code page
        L"É5", L"é5", L"Āx", L"āx", L"Σx", L"σx", L"Жx", L"жx", L"Ａx", L"ａx", L"標籤", L"紙張"};
    return Pick(names);
  }

  std::wstring Key() {
    static const std::vector<std::wstring> names = {
        L"mMode",         L"mmode", L"W", L"w",       L" W", L"W ",  L"A5X",
        L"a5x",           L"k",     L"K", L"key two", L"",   L";c",  L"k=x",
        L"Long Key Name", L"É",     L"é", L"Σ",       L"σ",  L"標籤"};
    return Pick(names);
  }

  std::wstring Value() {
    static const std::wstring kLongValue = L"a long value that is longer than the small buffers";
    static const std::vector<std::wstring> values = {
        L"0",        L"14.8", L"A5X",      L"  padded  ",    L"\"quoted\"",
        L"'single'", L"\"",   L"\"\"",     L"'a\"",          L"x=y",
        L"",         L"  ",   L"trail   ", L"\tTab",         L"1E-05",
        L"a;b",      L"[s]",  kLongValue,  L"line\r\nbreak", L"x\n[Inject]"};
    return Pick(values);
  }

  std::wstring Default() {
    static const std::vector<std::wstring> values = {L"",    L"0",   L"def",   L"  ",
                                                     L"d  ", L"'q'", L"\"x\"", L" lead"};
    return Pick(values);
  }

  std::uint32_t BufferChars() {
    static const std::vector<std::uint32_t> sizes = {0, 1, 2, 3, 4, 5, 6, 8, 10, 13, 20, 10000};
    return Pick(sizes);
  }

  std::optional<std::wstring> InitialFile() {
    if (Chance(30)) return std::nullopt;
    if (Chance(10)) return std::wstring();
    static const std::vector<std::wstring> lines = {
        L"[PrintMain]", L"[A5X]",      L"[ Spaced ]",  L"[]",
        L"[open",       L"[a]b]",      L"[x] tail",    L"A5X=A5X",
        L"mMode=1",     L" W = 14.8 ", L"k",           L"=orphan",
        L"=again",      L";comment",   L";c=x",        L"key two=\"q\"",
        L"K='s'",       L"",           L"   ",         L"\t[Tabbed]",
        L"dup=1",       L"DUP=2",      L"[printmain]", L"x=a=b"};
    static const std::vector<std::wstring> ends = {L"\r\n", L"\n", L"\r", L"\r\n\r\n"};
    std::wstring text;
    const int count = Between(1, 12);
    for (int i = 0; i < count; ++i) text += Pick(lines) + Pick(ends);
    if (Chance(20)) text += Pick(lines);  // no line end at the end of the file
    return text;
  }

  std::string Operation() {
    const int kind = Between(1, 100);
    if (kind <= 35) {
      return "W " + EncodeArgument(Section()) + " " + EncodeArgument(Key()) + " " +
             EncodeArgument(Value());
    }
    if (kind <= 45) return "W " + EncodeArgument(Section()) + " " + EncodeArgument(Key()) + " ~";
    if (kind <= 50) return "W " + EncodeArgument(Section()) + " ~ ~";
    if (kind <= 51) return "W ~ " + EncodeArgument(Key()) + " " + EncodeArgument(Value());
    if (kind <= 52) return "W ~ ~ ~";
    if (kind <= 57) return "P";
    if (kind <= 77) {
      return "R " + EncodeArgument(Section()) + " " + EncodeArgument(Key()) + " " +
             (Chance(10) ? std::string("~") : EncodeArgument(Default())) + " " +
             std::to_string(BufferChars());
    }
    if (kind <= 92) {
      return "R " + EncodeArgument(Section()) + " ~ " + EncodeArgument(Default()) + " " +
             std::to_string(BufferChars());
    }
    return "R ~ ~ " + EncodeArgument(Default()) + " " + std::to_string(BufferChars());
  }

  std::mt19937 random_;
};

}  // namespace
}  // namespace sheetlore::profile_diff

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: profile_script_generator <seed> <sequences>\n";
    return 2;
  }
  const auto seed = static_cast<std::uint32_t>(std::stoul(argv[1]));
  const int sequences = std::stoi(argv[2]);
  sheetlore::profile_diff::Generator generator(seed);
  for (int i = 0; i < sequences; ++i) {
    std::cout << "# seed " << seed << " sequence " << i << "\n";
    generator.Sequence(std::cout);
  }
  return 0;
}
