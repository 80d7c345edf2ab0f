// How the options are written as text in the settings store, and what the
// stored names that do not explain themselves hold. Those names, the window's
// caption and its class are kept as the program has always had them: settings
// stored earlier are read back under them, and the installer and a second start
// find the running program by them.
//   c1  自动输入条码内容 (type the codes), a check state
//   c2  将条码内容复制到粘贴板 (copy them to the clipboard), a check state
//   c3  显示视频窗口 (show the decoder's video window), a check state
//   c4  开机时启动程序 (start with Windows), a check state; written, not read back:
//       the box shows whether the startup entry exists
//   o0, o1, o2  the suffix typed after a code: none, [Enter], [Tab]; a truth each,
//       true for the one selected
//   OldBar  the last code read, "<type>:<text>" as the decoder wrote it, so that the
//       same code held before the camera is not taken as new after a restart
//   Mirelda          the main window's caption; the test marker "[Mirelda]:TEST"
//                    (texts.h) carries it as its type
//   TorvaneMainForm  the main window's class (app/control_classes.h), by which a
//                    second start and the installer find the running program
// The other names (RepeatScans, Beep, TypingMethod, ...) say what they hold.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace torvane {

// A check box's state: a 16-bit integer text holding 0, 1 or 2 (greyed).
std::optional<int> ParseCheckState(std::string_view text);
std::string FormatCheckState(int state);

// An option button: True or False in any letter case, or a number (0 false, any other true).
std::optional<bool> ParseTruth(std::string_view text);
std::string FormatTruth(bool value);

// Only state 1 counts as checked; 2 (greyed) counts as unchecked everywhere.
constexpr bool IsChecked(int state) { return state == 1; }

}  // namespace torvane
