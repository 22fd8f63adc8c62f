// The paper store holds the file's lock around every profile call it makes, so that store
// operations of other processes on the same file cannot interleave with its reads and writes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "component/cls_print.h"
#include "platform/sim/sim_platform.h"

namespace sheetlore {
namespace {

const std::wstring kStore = L"C:\\Program Files\\Sheetlore\\PrintSet.ini";

// The simulated profile files, counting the locks held and the calls made without one.
class LockWatchingProfile final : public ProfileFiles {
 public:
  explicit LockWatchingProfile(ProfileFiles& inner) : inner_(inner) {}

  std::uint32_t GetString(const std::optional<std::wstring>& section,
                          const std::optional<std::wstring>& key, const std::wstring& defaultValue,
                          std::uint32_t bufferChars, std::wstring& text,
                          const std::wstring& path) override {
    Note(path);
    return inner_.GetString(section, key, defaultValue, bufferChars, text, path);
  }
  bool WriteString(const std::optional<std::wstring>& section,
                   const std::optional<std::wstring>& key, const std::optional<std::wstring>& value,
                   const std::wstring& path) override {
    Note(path);
    return inner_.WriteString(section, key, value, path);
  }
  bool WriteSection(const std::wstring& section, const KeyValues& keys,
                    const std::wstring& path) override {
    Note(path);
    return inner_.WriteSection(section, keys, path);
  }
  std::unique_ptr<FileLock> LockFile(const std::wstring& path) override {
    EXPECT_EQ(path, kStore);
    ++locksTaken;
    return std::make_unique<Held>(held_);
  }

  int locksTaken = 0;
  int callsUnlocked = 0;
  int callsLocked = 0;
  int heldNow() const { return held_; }

 private:
  class Held final : public FileLock {
   public:
    explicit Held(int& held) : held_(held) { ++held_; }
    ~Held() override { --held_; }

   private:
    int& held_;
  };

  void Note(const std::wstring& path) {
    EXPECT_EQ(path, kStore);
    ++(held_ > 0 ? callsLocked : callsUnlocked);
  }

  ProfileFiles& inner_;
  int held_ = 0;
};

class PaperStoreLockTest : public ::testing::Test {
 protected:
  PaperStoreLockTest() {
    sim_.SetFileText(kStore,
                     L"[PrintMain]\r\nA5X=A5X\r\nLabel=Label\r\n"
                     L"[A5X]\r\nmMode=0\r\nW=14.8\r\nH=21\r\nL=0\r\nR=0\r\nT=0\r\nB=0\r\n"
                     L"[Label]\r\nmMode=1\r\nW=4\r\nH=6\r\nL=0\r\nR=0\r\nT=0\r\nB=0\r\n");
  }

  void ExpectEveryCallLocked(int calls) {
    EXPECT_EQ(profile_.callsUnlocked, 0);
    EXPECT_GE(profile_.callsLocked, calls);
    EXPECT_GE(profile_.locksTaken, 1);
    EXPECT_EQ(profile_.heldNow(), 0) << "a lock outlived its call";
  }

  sim::SimPlatform sim_;
  LockWatchingProfile profile_{sim_.platform().profile};
  Platform platform_{sim_.platform().spooler, profile_, sim_.platform().system,
                     sim_.platform().shell, sim_.platform().host};
  ClsPrint cls_{platform_};
};

TEST_F(PaperStoreLockTest, WriteHoldsTheFileForBothWrites) {
  EXPECT_TRUE(cls_.IniWriteValue(L"New", 0, 10, 15, 0, 0, 0, 0));
  ExpectEveryCallLocked(2);
  EXPECT_EQ(profile_.locksTaken, 1);
}

TEST_F(PaperStoreLockTest, DeleteHoldsTheFileFromItsFirstReadToItsLastWrite) {
  std::wstring name = L"A5X";
  cls_.IniDelValue(name);
  ExpectEveryCallLocked(3);
  EXPECT_EQ(profile_.locksTaken, 1);
  // The last paper: the list heading goes under the same lock as the reads that saw it empty.
  name = L"Label";
  cls_.IniDelValue(name);
  EXPECT_EQ(profile_.callsUnlocked, 0);
  EXPECT_EQ(profile_.locksTaken, 2);
  EXPECT_EQ(sim_.FileText(kStore), L"");
}

TEST_F(PaperStoreLockTest, ReadsHoldTheFileToo) {
  std::vector<std::wstring> names;
  cls_.IniReadValue(0, L"", &names);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"A5X", L"Label"}));
  EXPECT_EQ(cls_.IniReadValue(1, L"Label").W, 4);
  ExpectEveryCallLocked(8);
  EXPECT_EQ(profile_.locksTaken, 2);
}

}  // namespace
}  // namespace sheetlore
