// A delivered code as a configured hand scanner sends it: prefix, AIM
// identifier, suffix, the group separators of GS1 data; the input method of
// the window the keys go to, a window run as administrator, and symbologies
// turned off.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/texts.h"
#include "core/zbar_xml_reader.h"
#include "fakes.h"
#include "xml_output.h"

namespace torvane::testing {
namespace {

std::vector<KeyEvent> Units(std::u16string_view text) {
  std::vector<KeyEvent> keys;
  for (const char16_t unit : text) {
    keys.push_back(KeyEvent::Unit(unit, false));
    keys.push_back(KeyEvent::Unit(unit, true));
  }
  return keys;
}

std::vector<KeyEvent> operator+(std::vector<KeyEvent> a, const std::vector<KeyEvent>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A QR code's record as the intake hands it over.
DecodedRecord Qr(const std::string& text) { return {.symbology = "QR-Code", .text = text, .logBytes = text, .marks = {}}; }

const std::vector<KeyEvent> kEnter{KeyEvent::Key(VirtualKey::Enter, false), KeyEvent::Key(VirtualKey::Enter, true)};
// Ctrl+] on a US keyboard: Control held, the ] key (VK_OEM_6).
const std::vector<KeyEvent> kControlBracket{KeyEvent::Key(VirtualKey::Control, false), KeyEvent::LayoutKey(0xDD, false),
                                            KeyEvent::LayoutKey(0xDD, true), KeyEvent::Key(VirtualKey::Control, true)};

void ChooseTyping(Rig& rig, CheckState copy = CheckState::Unchecked) {
  rig.ClickBox(Option::TypeCodes, CheckState::Checked);
  rig.ClickBox(Option::CopyToClipboard, copy);
  rig.program.settings.OnSuffixOptionClicked(Suffix::Enter);
}

// Turns of the focused window and of Torvane, 10 ms apart, until the typing is over.
void TakeTurns(Rig& rig, std::int64_t nowMs, std::int64_t windowReadsFromMs = 0) {
  for (int turn = 0; turn < 1000 && !rig.program.typing.Idle(); ++turn) {
    nowMs += 10;
    if (nowMs >= windowReadsFromMs) rig.target.HandleInput();
    rig.HandleClipboardReports(nowMs);
    if (rig.window.On(TimerId::Typing)) rig.program.typing.OnTypingTick(nowMs);
  }
  rig.target.HandleInput();
}

TEST(DeliveryOptions, PrefixAimIdentifierAndSuffixAreTypedAndCopiedWhileTheListAndTheLogsKeepTheCode) {
  CameraRig rig;
  ChooseTyping(rig, CheckState::Checked);
  rig.program.options.scanner.codePrefix = "<";
  rig.program.options.scanner.codeSuffix = "/>";
  rig.program.options.scanner.aimIdentifier = true;
  rig.program.options.scanner.scanLog = true;
  rig.clock.now = {0, {2026, 12, 8, 9, 30, 5}};
  rig.Write("QR-Code:码1\r\nEAN-13:4006381333931\r\n");
  ASSERT_EQ(rig.keyboard.injections.size(), 2u);
  EXPECT_EQ(rig.keyboard.injections[0], Units(u"<]Q1码1/>") + kEnter);
  EXPECT_EQ(rig.keyboard.injections[1], Units(u"<]E04006381333931/>") + kEnter);
  EXPECT_EQ(rig.clipboard.text, "<]E04006381333931/>");
  EXPECT_EQ(rig.window.history, (std::vector<std::string>{"EAN-13:4006381333931", "QR-Code:码1"}));
  EXPECT_EQ(rig.log.contents, "码1\r\n4006381333931\r\n");
  EXPECT_NE(rig.scanLog.contents.find(",QR-Code,码1\r\n"), std::string::npos);

  rig.program.options.scanner.aimIdentifier = false;
  rig.program.options.scanner.typing = TypingMethod::Paste;
  rig.clipboard.PutByAnother("the user's own");
  rig.program.delivery.Deliver(Qr("x"), {1000, {}});
  TakeTurns(rig, 1000);
  EXPECT_EQ(rig.target.Text(), "<]Q1码1/>\r\n<]E04006381333931/>\r\n<x/>\r\n");
  EXPECT_EQ(rig.clipboard.text, "<x/>") << "the copy, with what is around the code";
}

// A GS1-128 code as the stand-in decoder writes it in ZBar 0.23's XML: its
// group separator is typed as asked, in each method; data.txt keeps the byte.
TEST(DeliveryOptions, AGs1128CodeFromTheStandInTypesItsGroupSeparatorAsAskedInEachMethod) {
  const std::string gs1 = "0104012345678901\x1D" "10AB12";
  ZbarXmlReader reader;
  const XmlReading read = reader.Feed(standins::xml_header("/dev/video0") +
                                      standins::xml_frame(standins::XmlForm::ZBar023, 0, {{"CODE-128", gs1, "GS1"}}));
  ASSERT_EQ(read.frames.size(), 1u);
  const XmlSymbol& symbol = read.frames[0].symbols.at(0);
  ASSERT_EQ(symbol.data, gs1);
  ASSERT_TRUE(symbol.gs1);
  const DecodedRecord record{
      .symbology = symbol.symbology, .text = symbol.data, .logBytes = symbol.data, .marks = {symbol.gs1, symbol.aim}};

  const GroupSeparatorTyping omitted{}, control{GroupSeparatorTyping::Kind::ControlBracket},
      text{GroupSeparatorTyping::Kind::Text, "<GS>"};
  for (const auto& [separator, keys] : std::vector<std::pair<GroupSeparatorTyping, std::vector<KeyEvent>>>{
           {omitted, Units(u"]C1010401234567890110AB12") + kEnter},
           {control, Units(u"]C10104012345678901") + kControlBracket + Units(u"10AB12") + kEnter},
           {text, Units(u"]C10104012345678901<GS>10AB12") + kEnter}}) {
    CameraRig rig;
    ChooseTyping(rig);
    rig.program.options.scanner.aimIdentifier = true;
    rig.program.options.scanner.groupSeparator = separator;
    rig.program.delivery.Deliver(record, {});
    EXPECT_EQ(rig.keyboard.injections, std::vector<std::vector<KeyEvent>>{keys});
    EXPECT_EQ(rig.log.contents, gs1 + "\r\n");
    EXPECT_EQ(rig.window.history.front(), "CODE-128:" + gs1);

    for (const TypingMethod method : {TypingMethod::Keys, TypingMethod::Paste}) {
      CameraRig other;
      ChooseTyping(other);
      other.program.options.scanner.typing = method;
      other.program.options.scanner.groupSeparator = separator;
      other.program.delivery.Deliver(record, {1000, {}});
      TakeTurns(other, 1000);
      const std::string between = separator == text ? "<GS>" : "";
      EXPECT_EQ(other.target.Text(), "0104012345678901" + between + "10AB12\r\n");
      std::vector<KeyEvent> all;
      for (const auto& injected : other.keyboard.injections) all = all + injected;
      EXPECT_EQ(std::search(all.begin(), all.end(), kControlBracket.begin(), kControlBracket.end()) != all.end(),
                separator == control);
    }
  }
}

TEST(DeliveryOptions, WithTheLayoutsKeysAnOpenInputMethodIsClosedForTheTypingAndOpenedAgainAfter) {
  CameraRig rig;
  ChooseTyping(rig);
  rig.program.options.scanner.typing = TypingMethod::Keys;
  rig.inputMethods.focused = 7;
  rig.inputMethods.open = {{7, true}};
  rig.program.delivery.Deliver(Qr("abc"), {1000, {}});
  rig.program.delivery.Deliver(Qr("de"), {1000, {}});
  EXPECT_FALSE(rig.inputMethods.open.at(7));
  TakeTurns(rig, 1000, 1300);  // a window that reads its keys late
  EXPECT_EQ(rig.target.Text(), "abc\r\nde\r\n");
  EXPECT_EQ(rig.target.Candidates(), "");
  EXPECT_TRUE(rig.inputMethods.open.at(7)) << "open again after the typing";
  EXPECT_EQ(std::count(rig.journal.begin(), rig.journal.end(), "input method closed"), 1) << "closed once for both";
  EXPECT_LT(rig.IndexOf("input method closed"), rig.IndexOf("type"));

  rig.program.delivery.Deliver(Qr("fg"), {9000, {}});
  rig.inputMethods.focused = 8;  // the user moves to another window meanwhile
  rig.program.window.OnQuitClicked();
  EXPECT_TRUE(rig.inputMethods.open.at(7)) << "quitting opens it again at once";

  CameraRig unicode;
  ChooseTyping(unicode);
  unicode.inputMethods.focused = 7;
  unicode.inputMethods.open = {{7, true}};
  unicode.program.delivery.Deliver(Qr("abc"), {});
  EXPECT_EQ(unicode.target.HandleInput(), "abc\r\n") << "characters typed as themselves pass an input method";
  EXPECT_FALSE(unicode.Has("input method closed"));

  CameraRig closed;
  ChooseTyping(closed);
  closed.program.options.scanner.typing = TypingMethod::Keys;
  closed.inputMethods.focused = 7;
  closed.inputMethods.open = {{7, false}};
  closed.program.delivery.Deliver(Qr("abc"), {});
  EXPECT_TRUE(closed.program.typing.Idle()) << "nothing to open again, nothing waits";
  EXPECT_FALSE(closed.window.On(TimerId::Typing));
  EXPECT_EQ(closed.target.HandleInput(), "abc\r\n");
  EXPECT_FALSE(closed.inputMethods.open.at(7)) << "a closed one is left closed";
  EXPECT_FALSE(closed.Has("input method opened"));
}

TEST(DeliveryOptions, AWindowOfAProgramRunAsAdministratorGetsNoKeysTheCodeIsCopiedAndTheUserToldOnce) {
  CameraRig rig;
  ChooseTyping(rig);
  rig.tray.present = true;
  rig.program.options.scanner.codePrefix = "P";
  rig.integrity.target = FakeIntegrityLevels::kHigh;
  rig.program.delivery.Deliver(Qr("a"), {});
  rig.program.delivery.Deliver(Qr("b"), {});
  EXPECT_TRUE(rig.keyboard.injections.empty());
  EXPECT_EQ(rig.clipboard.text, "Pb") << "copied whatever the copy option";
  EXPECT_EQ(rig.window.history,
            (std::vector<std::string>{"QR-Code:b", std::string(texts::kElevatedTargetCopied), "QR-Code:a"}));
  EXPECT_EQ(rig.tray.balloons,
            (std::vector<std::pair<std::string, std::string>>{{"Torvane", std::string(texts::kElevatedTargetBalloon)}}))
      << "the window is hidden";

  rig.integrity.target = FakeIntegrityLevels::kMedium;
  rig.program.delivery.Deliver(Qr("c"), {});
  EXPECT_EQ(rig.target.HandleInput(), "Pc\r\n");
  rig.window.Show(true);
  rig.integrity.target = 0x4000;
  rig.program.delivery.Deliver(Qr("d"), {});
  EXPECT_EQ(rig.window.history.at(0), texts::kElevatedTargetCopied) << "told again after a code was typed";
  EXPECT_EQ(rig.tray.balloons.size(), 1u) << "no balloon while the window is shown";

  rig.integrity.own.reset();
  rig.program.delivery.Deliver(Qr("e"), {});
  EXPECT_EQ(rig.target.HandleInput(), "Pc\r\nPe\r\n") << "a level that cannot be read changes nothing";
}

TEST(DeliveryOptions, ACodeOfASymbologyTurnedOffIsNotDeliveredFromTheCameraOrAnImage) {
  CameraRig rig;
  ChooseTyping(rig, CheckState::Checked);
  rig.program.options.scanner.beep = true;
  rig.program.options.scanner.disabledSymbologies = {"code39"};
  rig.program.options.scanner.minimumLengths = {{"i25", 10}};
  rig.Write("CODE-39:ABC\r\nI2/5:12345678\r\nI2/5:1234567890\r\n");
  rig.program.images.RecordResult("CODE-39:FROM A FILE");
  EXPECT_EQ(rig.window.history, std::vector<std::string>{"I2/5:1234567890"});
  EXPECT_EQ(rig.log.contents, "1234567890\r\n");
  EXPECT_EQ(rig.keyboard.injections.size(), 1u);
  EXPECT_EQ(rig.clipboard.text, "1234567890");
  EXPECT_EQ(std::count(rig.journal.begin(), rig.journal.end(), "beep"), 1);
}

}  // namespace
}  // namespace torvane::testing
