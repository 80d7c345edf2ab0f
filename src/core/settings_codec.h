// How the options are read from and written to the settings store, and what
// the stored names that do not explain themselves hold. Those names, the window's
// caption and its class are kept as the program has always had them: settings
// stored earlier are read back under them, and the installer and a second start
// find the running program by them.
//   c1  自动输入条码内容 (type the codes), a check state
//   c2  将条码内容复制到粘贴板 (copy them to the clipboard), a check state
//   c3  显示视频窗口 (show the decoder's video window), a check state
//   c4  开机时启动程序 (start with Windows), a check state; written, not read back:
//       the box shows whether the startup entry exists
//   o0, o1, o2  the suffix typed after a code: none, [Enter], [Tab]; a truth each,
//       true for the one selected (when missing, o0 true and the others false)
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

#include "core/options.h"

namespace torvane {

struct SettingsStore;

// The first page's options, read over `options` in the order c1, c2, c3, o0,
// o1, o2 (c4 is not read). An unreadable value ends the reading at that value;
// the ones before it stay. False when one of c1-c3 ended it.
bool ReadFirstPageOptions(SettingsStore& store, Options& options);
void StoreFirstPageOptions(SettingsStore& store, const Options& options);

// The second and third pages' options. A missing or unreadable value means
// that option's default; it never stops the others from loading.
ScannerOptions ReadScannerOptions(SettingsStore& store);
void StoreScannerOptions(SettingsStore& store, const ScannerOptions& options);

// A check box's state: a 16-bit integer text holding 0, 1 or 2 (greyed).
std::optional<CheckState> ParseCheckState(std::string_view text);
std::string FormatCheckState(CheckState state);

// An option button: True or False in any letter case, or a number (0 false, any other true).
std::optional<bool> ParseTruth(std::string_view text);
std::string FormatTruth(bool value);

}  // namespace torvane
