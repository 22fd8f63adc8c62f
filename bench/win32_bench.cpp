// Benchmarks of the component on the Windows platform (run under Wine by tools/bench):
//  - FormAllAdd of 200 stored papers and FormCheck of the printer's forms, each against a bare
//    loop that makes the same Windows calls, measured side by side in alternating rounds;
//  - the paper store with 100, 1000 and 10000 papers: list read, read of one paper, write,
//    delete and FormAllAdd;
//  - creating and releasing 100000 ClsPrint objects of Sheetlore.dll through its class
//    factory, with the process's private memory before and after;
//  - FormCheck through the COM object's vtable with the user's call trace on against an
//    object created while it was off.
// Usage: win32_bench <Sheetlore.dll> [rounds]. Prints "key value" lines for tools/bench.

#include "platform/win32/windows_api.h"

#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "com/cls_print_interface.h"
#include "com/sheetlore_guids.h"
#include "component/cls_print.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/trace_settings.h"
#include "platform/win32/win32_host.h"
#include "platform/win32/win32_platform.h"

namespace {

using sheetlore::ClsPrint;
using sheetlore::FormRow;
using sheetlore::Platform;
using sheetlore::PrinterRef;
using Clock = std::chrono::steady_clock;

// The Windows platform with the message box answered at once, so FormAllAdd's completion
// message does not wait for a user.
class SilentSystem final : public sheetlore::System {
 public:
  explicit SilentSystem(sheetlore::System& inner) : inner_(inner) {}
  bool GetVersionEx(std::uint32_t& platformId) override { return inner_.GetVersionEx(platformId); }
  sheetlore::WindowHandle FindWindow(const std::wstring& caption) override {
    return inner_.FindWindow(caption);
  }
  void Sleep(std::uint32_t milliseconds) override { inner_.Sleep(milliseconds); }
  void PumpMessages() override { inner_.PumpMessages(); }
  std::uint64_t Milliseconds() override { return inner_.Milliseconds(); }
  void MessageBox(const std::wstring&, const std::wstring&, std::uint32_t) override {}

 private:
  sheetlore::System& inner_;
};

double Milliseconds(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Runs the two side by side, alternating which goes first, and prints both medians.
void Compare(const char* key, int rounds, const std::function<void()>& component,
             const std::function<void()>& bare) {
  std::vector<double> componentTimes, bareTimes;
  component();  // warm both up
  bare();
  for (int round = 0; round < rounds; ++round) {
    if (round % 2 == 0) {
      componentTimes.push_back(Milliseconds(component));
      bareTimes.push_back(Milliseconds(bare));
    } else {
      bareTimes.push_back(Milliseconds(bare));
      componentTimes.push_back(Milliseconds(component));
    }
  }
  const double c = Median(componentTimes), b = Median(bareTimes);
  std::printf("%s_component_ms %.3f\n%s_bare_ms %.3f\n%s_ratio %.3f\n", key, c, key, b, key, c / b);
}

std::wstring StorePath() {
  sheetlore::win32::Win32Host host;
  return host.ComponentDirectory() + L"\\PrintSet.ini";
}

// A store of count papers named P0001..., written as one UTF-16 file.
void WriteStore(const std::wstring& path, int count) {
  std::wstring text = L"\xFEFF[PrintMain]\r\n";
  for (int i = 1; i <= count; ++i) {
    wchar_t name[16];
    std::swprintf(name, 16, L"P%04d", i);
    text += std::wstring(name) + L"=" + name + L"\r\n";
  }
  for (int i = 1; i <= count; ++i) {
    wchar_t section[200];
    std::swprintf(section, 200,
                  L"[P%04d]\r\nmMode=%d\r\nW=%d.5\r\nH=%d.25\r\nL=0\r\nR=0\r\nT=0\r\nB=0\r\n", i,
                  i % 2, 5 + i % 20, 8 + i % 20);
    text += section;
  }
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written,
            nullptr);
  CloseHandle(file);
}

double ReadValue(const std::wstring& section, const wchar_t* key, const std::wstring& path) {
  wchar_t buffer[10000];
  GetPrivateProfileStringW(section.c_str(), key, L"0", buffer, 10000, path.c_str());
  return std::wcstod(buffer, nullptr);
}

std::vector<std::wstring> ReadList(const std::wstring& path) {
  std::vector<wchar_t> buffer(1 << 16);
  const DWORD copied = GetPrivateProfileStringW(L"PrintMain", nullptr, L"", buffer.data(),
                                                static_cast<DWORD>(buffer.size()), path.c_str());
  std::vector<std::wstring> names;
  for (DWORD i = 0; i < copied;) {
    std::wstring name(buffer.data() + i);
    i += static_cast<DWORD>(name.size()) + 1;
    if (!name.empty()) names.push_back(name);
  }
  return names;
}

bool NtFamily() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  return GetVersionExW(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// What FormAllAdd does, written straight against the Windows calls.
void BareAllAdd(const std::wstring& printerName, const std::wstring& path) {
  if (sheetlore::win32::InstalledPrinterNames().empty()) return;
  for (const std::wstring& name : ReadList(path)) {
    const double mode = ReadValue(name, L"mMode", path);
    double values[6];
    const wchar_t* keys[] = {L"W", L"H", L"L", L"R", L"T", L"B"};
    for (int k = 0; k < 6; ++k) {
      values[k] = ReadValue(name, keys[k], path) * (mode == 1 ? 2.54 : 1.0) * 10000;
    }
    if (!NtFamily()) continue;
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ACCESS_ADMINISTER};
    HANDLE printer = nullptr;
    if (!OpenPrinterW(const_cast<LPWSTR>(printerName.c_str()), &printer, &defaults)) continue;
    FORM_INFO_1W form{};
    form.pName = const_cast<LPWSTR>(name.c_str());
    form.Size = {static_cast<LONG>(values[0]), static_cast<LONG>(values[1])};
    form.ImageableArea = {static_cast<LONG>(values[2]), static_cast<LONG>(values[4]),
                          static_cast<LONG>(values[3] ? values[3] : values[0]),
                          static_cast<LONG>(values[5] ? values[5] : values[1])};
    AddFormW(printer, 1, reinterpret_cast<BYTE*>(&form));
    ClosePrinter(printer);
  }
}

// What FormCheck does, written straight against the Windows calls.
std::vector<FormRow> BareFormCheck(const std::wstring& printerName) {
  std::vector<FormRow> rows;
  if (!NtFamily()) return rows;
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ACCESS_ADMINISTER};
  HANDLE printer = nullptr;
  if (!OpenPrinterW(const_cast<LPWSTR>(printerName.c_str()), &printer, &defaults)) return rows;
  DWORD needed = 0, returned = 0;
  EnumFormsW(printer, 1, nullptr, 0, &needed, &returned);
  std::vector<std::uint64_t> buffer(needed / 8 + 1);
  if (EnumFormsW(printer, 1, reinterpret_cast<BYTE*>(buffer.data()), needed, &needed, &returned)) {
    const auto* forms = reinterpret_cast<const FORM_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) {
      rows.push_back(FormRow{forms[i].pName, static_cast<std::int32_t>(i + 1),
                             forms[i].Size.cx / 10000.0, forms[i].Size.cy / 10000.0});
    }
  }
  ClosePrinter(printer);
  return rows;
}

// The process's memory as the system counts it: committed private bytes where the system
// reports them, otherwise the working set.
SIZE_T ProcessBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof counters);
  if (counters.PrivateUsage != 0) return counters.PrivateUsage;
  return counters.WorkingSetSize;
}

// The bytes the process's heaps have handed out and not taken back.
SIZE_T HeapBytesInUse() {
  HANDLE heaps[64];
  const DWORD count = std::min<DWORD>(GetProcessHeaps(64, heaps), 64);
  SIZE_T used = 0;
  for (DWORD i = 0; i < count; ++i) {
    if (!HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heaps[i], &entry)) {
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) used += entry.cbData;
    }
    HeapUnlock(heaps[i]);
  }
  return used;
}

void MeasureObjects(const wchar_t* dllPath) {
  const HMODULE dll = LoadLibraryW(dllPath);
  using GetClassObject = HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**);
  auto* getClassObject = dll ? reinterpret_cast<GetClassObject*>(reinterpret_cast<void*>(
                                   GetProcAddress(dll, "DllGetClassObject")))
                             : nullptr;
  sheetlore::win32::com_ptr<IClassFactory> factory;
  if (!getClassObject ||
      FAILED(getClassObject(sheetlore::com::kClassId, IID_IClassFactory, factory.put_void()))) {
    std::printf("objects_error cannot load the class factory\n");
    return;
  }
  const auto createAndRelease = [&](int count) {
    int failures = 0;
    for (int i = 0; i < count; ++i) {
      sheetlore::win32::com_ptr<IDispatch> object;
      if (FAILED(factory->CreateInstance(nullptr, IID_IDispatch, object.put_void()))) ++failures;
    }
    return failures;
  };
  createAndRelease(1000);  // the heap settles
  const SIZE_T before = ProcessBytes();
  const SIZE_T heapBefore = HeapBytesInUse();
  int failures = 0;
  const double ms = Milliseconds([&] { failures = createAndRelease(100000); });
  const SIZE_T after = ProcessBytes();
  const SIZE_T heapAfter = HeapBytesInUse();
  std::printf("objects_count 100000\nobjects_failures %d\nobjects_ms %.1f\n", failures, ms);
  std::printf("objects_memory_before_kib %zu\nobjects_memory_after_kib %zu\n",
              static_cast<std::size_t>(before / 1024), static_cast<std::size_t>(after / 1024));
  std::printf("objects_growth_kib %lld\n",
              static_cast<long long>(after / 1024) - static_cast<long long>(before / 1024));
  std::printf("objects_heap_growth_bytes %lld\n",
              static_cast<long long>(heapAfter) - static_cast<long long>(heapBefore));
}

sheetlore::win32::com_ptr<IClassFactory> ClassFactory(const wchar_t* dllPath) {
  const HMODULE dll = LoadLibraryW(dllPath);
  using GetClassObject = HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**);
  auto* getClassObject = dll ? reinterpret_cast<GetClassObject*>(reinterpret_cast<void*>(
                                   GetProcAddress(dll, "DllGetClassObject")))
                             : nullptr;
  sheetlore::win32::com_ptr<IClassFactory> factory;
  if (getClassObject)
    getClassObject(sheetlore::com::kClassId, IID_IClassFactory, factory.put_void());
  return factory;
}

// Twenty FormChecks of the default printer through an object's vtable.
void FormChecks(_ClsPrint* object) {
  for (int i = 0; i < 20; ++i) {
    VARIANT forms;
    VariantInit(&forms);
    VARIANT_BOOL ok = VARIANT_FALSE;
    object->FormCheck(&forms, nullptr, &ok);
    VariantClear(&forms);
  }
}

// The trace is read when an object is created: one object made with it off, one with it on
// (into a file in the temporary folder, deleted afterwards), called in alternating rounds.
void MeasureTrace(const wchar_t* dllPath, int rounds) {
  sheetlore::win32::com_ptr<IClassFactory> factory = ClassFactory(dllPath);
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  const std::wstring file = std::wstring(folder) + L"sheetlore-bench-trace.log";
  sheetlore::win32::com_ptr<_ClsPrint> off, on;
  const auto create = [&](sheetlore::win32::com_ptr<_ClsPrint>& object) {
    return factory &&
           SUCCEEDED(factory->CreateInstance(nullptr, __uuidof(_ClsPrint), object.put_void()));
  };
  const std::optional<std::wstring> setting = sheetlore::win32::TraceFileSetting();
  sheetlore::win32::SwitchTraceOff();
  const bool madeOff = create(off);
  sheetlore::win32::SwitchTraceOn(file);
  const bool madeOn = create(on);
  if (setting) {
    sheetlore::win32::SwitchTraceOn(*setting);
  } else {
    sheetlore::win32::SwitchTraceOff();
  }
  if (!madeOff || !madeOn) {
    std::printf("trace_error cannot create the objects\n");
    return;
  }
  Compare(
      "formcheck_com_x20_trace_on_vs_off", rounds, [&] { FormChecks(on.get()); },
      [&] { FormChecks(off.get()); });
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) {
    std::printf("trace_file_bytes %lu\n", static_cast<unsigned long>(data.nFileSizeLow));
  }
  DeleteFileW(file.c_str());
  DeleteFileW((file + L".old").c_str());
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 2) {
    std::printf("usage: win32_bench <Sheetlore.dll> [rounds]\n");
    return 2;
  }
  const int rounds = argc > 2 ? std::max(1, _wtoi(argv[2])) : 5;
  CoInitialize(nullptr);

  sheetlore::win32::Win32Platform windows;
  SilentSystem silent(windows.system());
  Platform platform{windows.spooler(), windows.profile(), silent, windows.shell(), windows.host()};
  ClsPrint cls(platform);
  PrinterRef printer = windows.host().CurrentPrinter();
  const std::wstring printerName = printer->DeviceName();
  const std::wstring path = StorePath();
  // The store beside the program is put back as it was afterwards.
  const std::wstring saved = path + L".bench-saved";
  const bool hadStore = CopyFileW(path.c_str(), saved.c_str(), FALSE) != FALSE;
  std::printf("printer %ls\n", printerName.c_str());

  WriteStore(path, 200);
  Compare(
      "formalladd_200", rounds, [&] { cls.FormAllAdd(printer); },
      [&] { BareAllAdd(printerName, path); });

  std::size_t formCount = 0;
  Compare(
      "formcheck_x20", rounds,
      [&] {
        for (int i = 0; i < 20; ++i) {
          std::optional<std::vector<FormRow>> rows;
          cls.FormCheck(rows, printer);
          formCount = rows ? rows->size() : 0;
        }
      },
      [&] {
        for (int i = 0; i < 20; ++i) BareFormCheck(printerName);
      });
  std::printf("formcheck_forms %zu\n", formCount);

  // The store at 100, 1000 and 10000 papers, so that its growth with the size shows: each
  // operation timed over several calls spread through the list.
  for (const int size : {100, 1000, 10000}) {
    WriteStore(path, size);
    std::vector<std::wstring> names;
    const int lists = size >= 10000 ? 3 : 10;
    std::printf("store_%d_list_ms %.3f\n", size, Milliseconds([&] {
                                                   for (int i = 0; i < lists; ++i)
                                                     cls.IniReadValue(0, L"", &names);
                                                 }) / lists);
    std::printf("store_%d_list_names %zu\n", size, names.size());
    const int samples = 10;
    const auto sample = [&](int i) {
      return names[static_cast<std::size_t>(i) * names.size() / samples];
    };
    std::printf("store_%d_read_one_ms %.3f\n", size, Milliseconds([&] {
                                                       for (int i = 0; i < samples; ++i)
                                                         cls.IniReadValue(1, sample(i));
                                                     }) / samples);
    std::printf("store_%d_write_ms %.3f\n", size, Milliseconds([&] {
                                                    for (int i = 0; i < 5; ++i) {
                                                      cls.IniWriteValue(L"New" + std::to_wstring(i),
                                                                        0, 10, 15, 0, 0, 0, 0);
                                                    }
                                                  }) / 5);
    std::printf("store_%d_delete_ms %.3f\n", size, Milliseconds([&] {
                                                     for (int i = 0; i < 5; ++i) {
                                                       std::wstring name =
                                                           L"New" + std::to_wstring(i);
                                                       cls.IniDelValue(name);
                                                     }
                                                   }) / 5);
    std::printf("store_%d_bare_read_one_ms %.3f\n", size,
                Milliseconds([&] {
                  const wchar_t* keys[] = {L"mMode", L"W", L"H", L"L", L"R", L"T", L"B"};
                  for (int i = 0; i < samples; ++i) {
                    for (const wchar_t* key : keys) ReadValue(sample(i), key, path);
                  }
                }) / samples);
    // Twice: the first call after the writes above meets Wine's profile cache cold.
    std::printf("store_%d_formalladd_ms %.3f\n", size,
                Milliseconds([&] { cls.FormAllAdd(printer); }));
    std::printf("store_%d_formalladd_again_ms %.3f\n", size,
                Milliseconds([&] { cls.FormAllAdd(printer); }));
  }
  DeleteFileW(path.c_str());
  if (hadStore) MoveFileExW(saved.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);

  MeasureObjects(argv[1]);
  MeasureTrace(argv[1], rounds);
  CoUninitialize();
  return 0;
}
