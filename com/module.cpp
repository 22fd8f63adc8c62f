#include "com/module.h"

#include <atomic>
#include <vector>

namespace sheetlore::com {
namespace {
HMODULE g_module = nullptr;
std::atomic<long> g_references{0};
}  // namespace

void SetModuleHandle(HMODULE module) noexcept { g_module = module; }

std::wstring ModulePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(g_module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

void AddModuleReference() noexcept { ++g_references; }
void ReleaseModuleReference() noexcept { --g_references; }
long ModuleReferences() noexcept { return g_references.load(); }

}  // namespace sheetlore::com
