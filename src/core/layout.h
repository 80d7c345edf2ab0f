// The main window as data: every control with its name, kind, text, rectangle,
// colours, font and initial state. The window (src/app) creates its controls
// from this table.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace torvane {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend constexpr bool operator==(Rgb, Rgb) = default;
};

constexpr Rgb kKeyColour{0x58, 0x58, 0x58};  // window background and transparency key

struct PixelRect {
  int left = 0, top = 0, width = 0, height = 0;
  constexpr int right() const { return left + width; }
  constexpr int bottom() const { return top + height; }
  friend constexpr bool operator==(PixelRect, PixelRect) = default;
};

// Control identifiers double as Win32 child-window ids.
enum class ControlId : int {
  None = 0,
  // main area
  HelpPanel = 1000,
  SettingsPanel = 1001,
  HistoryList = 1002,
  CloseButton = 1003,
  HelpCommand = 1004,
  Title = 1005,
  SettingsCommand = 1006,
  PauseCommand = 1007,
  QuitCommand = 1008,
  // settings panel
  EnterOption = 1101,
  NoSuffixOption = 1102,
  OkButton = 1103,
  StartWithWindowsBox = 1104,
  CopyToClipboardBox = 1105,
  TypeCodesBox = 1106,
  ShowVideoWindowBox = 1107,
  TabOption = 1108,
  SuffixFrame = 1109,
  RestartCommand = 1110,
  SuffixCaption = 1111,
  ModuleStatusLine = 1112,
  MoreSettingsCommand = 1113,
  // help panel
  CannotReadCommand = 1201,
  SuccessLabel = 1202,
  HelpText = 1203,
  TestPattern = 1204,
  ZbarHelpText = 1205,
  // the settings panel's second page
  MoreSettingsPanel = 1300,
  RepeatScansBox = 1301,
  BeepBox = 1302,
  ScanLogBox = 1303,
  UnicodeTypingOption = 1304,
  KeysTypingOption = 1305,
  PasteTypingOption = 1306,
  KeyDelayBox = 1307,
  SuffixDelayBox = 1308,
  CameraChoice = 1309,
  DoneButton = 1310,
  TypingMethodCaption = 1311,
  KeyDelayCaption = 1312,
  SuffixDelayCaption = 1313,
  CameraCaption = 1314,
  HandScannerCommand = 1315,
  // the third page, opened from the second: what a configured hand scanner sends
  HandScannerPanel = 1400,
  PrefixBox = 1401,
  CodeSuffixBox = 1402,
  AimIdBox = 1403,
  GroupSeparatorOmittedOption = 1404,
  GroupSeparatorControlOption = 1405,
  GroupSeparatorTextOption = 1406,
  GroupSeparatorTextBox = 1407,
  DisabledTypesBox = 1408,
  MinimumLengthsBox = 1409,
  HandScannerDoneButton = 1410,
  PrefixCaption = 1411,
  CodeSuffixCaption = 1412,
  GroupSeparatorCaption = 1413,
  DisabledTypesCaption = 1414,
  MinimumLengthsCaption = 1415,
  ScreenHotkeyCaption = 1416,
  ScreenHotkeyBox = 1417,
};

enum class ControlKind {
  Panel,
  ListBox,
  TextButton,  // a label that reacts to clicks
  TextLabel,
  CheckBox,
  OptionButton,
  PushButton,
  Shape,    // rectangle outline
  Picture,  // the test QR code
  NumberBox,  // an edit box for a small whole number
  TextBox,    // an edit box for a line of text
  DropDown,   // a list to choose one entry from; its rectangle's height includes the open list
  HotkeyBox,  // shows and takes a key combination as it is pressed
};

enum class TextAlign { Left, Centre };

struct FontSpec {
  std::string_view face;  // UTF-8
  int points = 9;
  bool bold = false;
  bool gb2312 = false;  // character set GB2312 asked for explicitly
  friend constexpr bool operator==(FontSpec, FontSpec) = default;
};

constexpr FontSpec kDefaultFont{"宋体", 9, false, false};

struct ControlSpec {
  ControlId id;
  std::string_view name;
  ControlKind kind;
  ControlId parent;        // None: directly on the window
  std::string_view text;   // UTF-8
  PixelRect rect;          // relative to the parent's client area, at 96 dpi
  std::optional<Rgb> back; // nullopt: transparent (or system colours for a push button)
  std::optional<Rgb> fore; // nullopt: system text colour
  FontSpec font = kDefaultFont;
  TextAlign align = TextAlign::Left;
  bool visible = true;
  bool checked = false;    // check box or option button state at creation
  bool handCursor = false;
  bool takesFocus = false;   // a stop of the keyboard's Tab
  bool startsGroup = false;  // the arrow keys move within a group: from here to the next start
  // A sibling below this control in stacking order whose rectangle is cut out of
  // this control, so that the sibling shows and takes clicks there as if on top.
  ControlId cutAwayUnder = ControlId::None;
  bool wraps = false;      // text wraps onto several lines within the width
  std::string_view tooltip;
};

// Controls in stacking order, top first, the window's own controls before
// each panel's children. The stacking order is also the keyboard's: Tab visits
// the stops in it, a panel's children where the panel stands, and an option
// group as one stop (its selected button).
std::span<const ControlSpec> Controls();
const ControlSpec& Control(ControlId id);

struct WindowSpec {
  std::string_view caption;
  int width, height;          // set by the load
  int pictureWidth, pictureHeight;
  Rgb background;
  PixelRect panelOpenRect;    // where the panels open
};
const WindowSpec& WindowLayout();

}  // namespace torvane
