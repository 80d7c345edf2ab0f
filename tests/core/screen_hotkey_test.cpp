#include "core/screen_hotkey.h"
#include <gtest/gtest.h>
#include <string>

namespace torvane {
namespace {

TEST(ScreenHotkey, StoredTextsReadInAnyCaseAndOrderAndAreWrittenInOne) {
  const std::pair<const char*, const char*> stored[] = {
      {"Ctrl+Shift+Q", "Ctrl+Shift+Q"},      {"shift+CTRL+q", "Ctrl+Shift+Q"},
      {"Win+Shift+Alt+Ctrl+F24", "Ctrl+Alt+Shift+Win+F24"},
      {"Alt+0", "Alt+0"},                    {"Win+9", "Win+9"},
      {"F1", "F1"},                          {"shift+f10", "Shift+F10"},
      {"PrintScreen", "PrintScreen"},        {"Alt+printscreen", "Alt+PrintScreen"},
      {"Ctrl+Z", "Ctrl+Z"},                  {"ctrl+f", "Ctrl+F"},  // the letter
      {"", ""},
  };
  for (const auto& [text, canonical] : stored) {
    const auto hotkey = ParseHotkey(text);
    ASSERT_TRUE(hotkey.has_value()) << text;
    EXPECT_EQ(FormatHotkey(*hotkey), canonical) << text;
    EXPECT_EQ(ParseHotkey(canonical), hotkey) << canonical;
  }
  EXPECT_EQ(ParseHotkey("Ctrl+Shift+Q"), (Hotkey{.ctrl = true, .shift = true, .key = HotkeyKey::Letter, .code = 'Q'}));
  EXPECT_EQ(ParseHotkey("Alt+F12"), (Hotkey{.alt = true, .key = HotkeyKey::Function, .code = 12}));
  EXPECT_EQ(ParseHotkey("Win+PrintScreen"), (Hotkey{.win = true, .key = HotkeyKey::PrintScreen}));
  EXPECT_EQ(ParseHotkey(""), Hotkey{}) << "empty: no hotkey";
  EXPECT_EQ(FormatHotkey(Hotkey{}), "");
}

TEST(ScreenHotkey, AnythingElseIsRejected) {
  for (const char* text :
       {"Q", "5", "Shift+Q", "Shift+5",              // would take a typed character everywhere
        "Ctrl", "Ctrl+Shift", "Ctrl+", "+Q", "Ctrl++Q", "+",  // no key, or an empty name
        "Ctrl+Ctrl+Q", "Ctrl+Q+Shift", "Ctrl+Q+R", "Ctrl+QQ",  // twice, key not last, two keys
        "Ctrl+F0", "Ctrl+F25", "Ctrl+F01", "Ctrl+F1a", "F100",
        "Ctrl + Q", " Ctrl+Q", "Ctrl+Q ", "Control+Q", "Ctl+Q", "Super+Q", "Ctrl+Space", "Ctrl+Enter",
        "Ctrl+Print", "Ctrl+PrtSc", "Ctrl+\xC3\x84", "Ctrl+-", "Ctrl+Q\n"}) {
    EXPECT_EQ(ParseHotkey(text), std::nullopt) << text;
  }
  EXPECT_EQ(ParseHotkey(std::string("Ctrl+Q\0", 7)), std::nullopt);
}

TEST(ScreenHotkey, TheHistorySaysWhichCombinationIsTaken) {
  EXPECT_EQ(HotkeyTakenLine(*ParseHotkey("shift+ctrl+q")), "[快捷键 Ctrl+Shift+Q 已被其他程序占用]");
}

}  // namespace
}  // namespace torvane
