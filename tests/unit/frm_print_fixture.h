#pragma once
// A maintenance dialog session on the simulated platform: printers, stored papers, the
// headless dialog host and a component to call FormShow on.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "component/cls_print.h"
#include "dialog/frm_print.h"
#include "platform/dialog_layout.h"
#include "platform/sim/sim_dialog.h"
#include "platform/sim/sim_platform.h"
#include "tests/unit/sim_support.h"

namespace sheetlore::dialog_test {

inline const std::wstring kStore = L"C:\\Program Files\\Sheetlore\\PrintSet.ini";
inline const std::wstring kCm = L"公分";
inline const std::wstring kInch = L"英寸";
inline const std::wstring kAddOk = L"格式新增成功,請檢查!";
inline const std::wstring kAddFailed = L"格式新增錯誤,請檢查!";
inline const std::wstring kDeleteOk = L"格式刪除成功";
inline const std::wstring kDeleteFailed = L"格式刪除錯誤,請檢查";

inline constexpr ControlRef Text1(std::int16_t i) { return {Control::Text1, i}; }
inline constexpr ControlRef List1(std::int16_t i) { return {Control::List1, i}; }
inline constexpr ControlRef Cmd1(std::int16_t i) { return {Control::Cmd1, i}; }
inline constexpr ControlRef Check1(std::int16_t i) { return {Control::Check1, i}; }
inline constexpr ControlRef Option1(std::int16_t i) { return {Control::Option1, i}; }
inline constexpr ControlRef kText2{Control::Text2};
inline constexpr ControlRef kCombo1{Control::Combo1};

inline std::vector<std::wstring> All(const std::wstring& text) {
  return std::vector<std::wstring>(6, text);
}

class DialogTest : public ::testing::Test {
 protected:
  DialogTest() {
    sim_.SetDialogHost(&dialogs_);
    sim_.AddPrinter(L"Office Laser");
    // A small print server keeps the lists short: A4 first, then Letter.
    sim_.SetForms({{1, L"A4", 210000, 297000, 0, 0, 210000, 297000},
                   {1, L"Letter", 215900, 279400, 0, 0, 215900, 279400}});
  }

  void Store(const std::wstring& name, std::uint8_t mode, double w, double h, double l = 0,
             double r = 0, double t = 0, double b = 0) {
    ASSERT_TRUE(cls_.IniWriteValue(name, mode, w, h, l, r, t, b));
  }

  // Runs FormShow with the user's session and hands back the (closed) dialog.
  sim::SimDialog& Show(std::function<void(sim::SimDialog&)> session = {}) {
    dialogs_.OnShow(std::move(session));
    cls_.FormShow();
    return *dialogs_.LastDialog();
  }

  // The open dialog's procedures, for the cases a user cannot reach.
  static FrmPrint& Procedures() { return *ThreadDialogState().instance; }

  // The form of that name, or an empty one when the printer has none.
  FormInfo FormOrNone(const std::wstring& name) const {
    const FormInfo* form = FindForm(sim_, name);
    return form ? *form : FormInfo{};
  }

  std::vector<std::wstring> MessageTexts() const {
    std::vector<std::wstring> texts;
    for (const sim::Message& message : sim_.Messages()) texts.push_back(message.text);
    return texts;
  }

  sim::SimPlatform sim_;
  sim::SimDialogHost dialogs_;
  ClsPrint cls_{sim_.platform()};
};

}  // namespace sheetlore::dialog_test
