// The options of the three settings pages, as the program holds and goes by
// them. The pages show them; a click on the first page changes them at once,
// and its 确定 stores them (settings_codec.h).
#pragma once

#include <optional>

#include "core/key_plan.h"
#include "core/scanner_options.h"

namespace torvane {

// A check box's state. Greyed is a stored value the user never chose; only
// Checked counts as on, everywhere.
enum class CheckState { Unchecked, Checked, Greyed };
constexpr bool IsChecked(CheckState state) { return state == CheckState::Checked; }

// The first settings page's check boxes.
enum class Option { TypeCodes, CopyToClipboard, ShowVideoWindow, StartWithWindows };

struct Options {
  CheckState typeCodes = CheckState::Unchecked;         // 自动输入条码内容
  CheckState copyToClipboard = CheckState::Unchecked;   // 将条码内容复制到粘贴板
  CheckState showVideoWindow = CheckState::Unchecked;   // 显示视频窗口
  CheckState startWithWindows = CheckState::Unchecked;  // 开机时启动程序: whether the startup entry exists
  // The key typed after a code; none when no button is selected (nothing is typed then).
  std::optional<Suffix> suffix = Suffix::None;
  ScannerOptions scanner{};  // the second and third pages'

  CheckState& Box(Option box) { return this->*Member(box); }
  CheckState Box(Option box) const { return this->*Member(box); }
  friend bool operator==(const Options&, const Options&) = default;

 private:
  static constexpr CheckState Options::*Member(Option box) {
    switch (box) {
      case Option::TypeCodes:
        return &Options::typeCodes;
      case Option::CopyToClipboard:
        return &Options::copyToClipboard;
      case Option::ShowVideoWindow:
        return &Options::showVideoWindow;
      case Option::StartWithWindows:
        break;
    }
    return &Options::startWithWindows;
  }
};

}  // namespace torvane
