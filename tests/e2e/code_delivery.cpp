#include "harness.h"

namespace torvane::e2e {
namespace {

using testing::AssertionFailure;
using testing::AssertionResult;
using testing::AssertionSuccess;

std::optional<std::string> EntryAt(HWND list, LRESULT index) {
  bool ok = false;
  const LRESULT length = SendWithTimeout(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0, &ok);
  if (!ok || length < 0) return std::nullopt;
  // LB_GETTEXT takes no buffer size and an entry may move into this place
  // meanwhile: room for any entry these tests make.
  std::vector<wchar_t> buffer(std::max<std::size_t>(static_cast<std::size_t>(length), 64 * 1024) + 1);
  const LRESULT copied =
      SendWithTimeout(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()), &ok);
  if (!ok || copied < 0 || static_cast<std::size_t>(copied) >= buffer.size()) return std::nullopt;
  return win32::Narrow(std::wstring_view(buffer.data(), static_cast<std::size_t>(copied)));
}

}  // namespace

void CodeDeliveryTest::SetUp() {
  TorvaneTest::SetUp();
  token_ = FreshToken();
}

void CodeDeliveryTest::TearDown() {
  target_.reset();
  TorvaneTest::TearDown();
}

void CodeDeliveryTest::LaunchWithTarget() {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  target_ = std::make_unique<TypingTarget>(kTargetPlace);
  ASSERT_TRUE(target_->Created()) << "cannot make the typing target";
  const PixelRect torvane = ScreenRect(Window());
  ASSERT_TRUE(torvane.right() <= kTargetPlace.left || torvane.bottom() <= kTargetPlace.top)
      << "the typing target would cover Torvane's window";
}

void CodeDeliveryTest::LaunchWithTarget(const Options& options) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget());
  ASSERT_NO_FATAL_FAILURE(SetOptions(options));
}

void CodeDeliveryTest::FocusTarget() {
  ASSERT_TRUE(target_->TakeFocus()) << "the typing target did not get the keyboard focus";
}

void CodeDeliveryTest::SetOptions(const Options& options) {
  ASSERT_NO_FATAL_FAILURE(OpenSettings());
  ASSERT_NO_FATAL_FAILURE(SetCheck(ControlId::TypeCodesBox, options.type));
  ASSERT_NO_FATAL_FAILURE(SetCheck(ControlId::CopyToClipboardBox, options.copy));
  const ControlId option = options.after == AfterText::Enter ? ControlId::EnterOption
                           : options.after == AfterText::Tab ? ControlId::TabOption
                                                              : ControlId::NoSuffixOption;
  if (Read(option).check != BST_CHECKED) {
    ASSERT_NO_FATAL_FAILURE(Click(option));
    ASSERT_TRUE(WaitUntil([&] { return Read(option).check == BST_CHECKED; }, 10s));
  }
  ASSERT_NO_FATAL_FAILURE(Click(ControlId::OkButton));
  ASSERT_TRUE(WaitUntil([&] { return !Read(ControlId::SettingsPanel).visible; }, 10s)) << "确定 did not close the panel";
  if (target_) {
    ASSERT_NO_FATAL_FAILURE(FocusTarget());
  }
}

void CodeDeliveryTest::OpenSecondPage() {
  if (!Read(ControlId::SettingsPanel).visible) {
    // A pointer left resting on the history list from an earlier run shows its
    // tooltip, which may lie over 设置 until the pointer has left for a moment.
    ASSERT_TRUE(MovePointer({0, 0}));
    ASSERT_TRUE(WaitUntil([&] { return !TooltipShown(); }, 5s)) << "the list's tooltip stays";
    ASSERT_NO_FATAL_FAILURE(OpenSettings());
  }
  ASSERT_NO_FATAL_FAILURE(Click(ControlId::MoreSettingsCommand));
  ASSERT_TRUE(WaitUntil([&] { return Read(ControlId::MoreSettingsPanel).visible; }, 10s))
      << "更多设置 did not open the page";
}

bool CodeDeliveryTest::TooltipShown() const {
  for (HWND w : AllTopLevelWindows(TorvaneProcessId()))
    if (ClassOf(w) == "tooltips_class32" && IsWindowVisible(w)) return true;
  return false;
}

void CodeDeliveryTest::CloseSecondPage() {
  ASSERT_NO_FATAL_FAILURE(Click(ControlId::DoneButton));
  ASSERT_TRUE(WaitUntil([&] { return !Read(ControlId::MoreSettingsPanel).visible; }, 10s)) << "完成 did not close the page";
  ASSERT_NO_FATAL_FAILURE(Click(ControlId::OkButton));
  ASSERT_TRUE(WaitUntil([&] { return !Read(ControlId::SettingsPanel).visible; }, 10s)) << "确定 did not close the panel";
  if (target_) {
    ASSERT_NO_FATAL_FAILURE(FocusTarget());
  }
}

void CodeDeliveryTest::Choose(ControlId option) {
  ASSERT_NO_FATAL_FAILURE(Click(option));
  ASSERT_TRUE(WaitUntil([&] { return Read(option).check == BST_CHECKED; }, 5s));
}

void CodeDeliveryTest::SetCheck(ControlId box, bool checked) {
  const int want = checked ? BST_CHECKED : BST_UNCHECKED;
  if (Read(box).check == want) return;
  ASSERT_NO_FATAL_FAILURE(Click(box));
  ASSERT_TRUE(WaitUntil([&] { return Read(box).check == want; }, 10s)) << "the click did not toggle the box";
}

AssertionResult CodeDeliveryTest::Decoder(std::string_view feedLines, std::string_view output, Millis limit) {
  const std::size_t before = Bar().size();
  if (!AppendShared(InFolder(L"zbarcam.feed"), feedLines)) return AssertionFailure() << "cannot write the feed";
  std::string bar;
  if (WaitUntil(
          [&] {
            bar = Bar();
            return bar.size() == before + output.size() && bar.ends_with(output);
          },
          limit, 10ms))
    return AssertionSuccess();
  const std::string_view end = std::string_view(bar).substr(bar.size() - std::min<std::size_t>(bar.size(), 200));
  return AssertionFailure() << "bar.dat did not get \"" << Escaped(output) << "\"; its end is \"" << Escaped(end) << "\"";
}

AssertionResult CodeDeliveryTest::Scan(std::string_view symbology, std::string_view data) {
  return Scan(std::string(symbology) + ":" + std::string(data));
}

AssertionResult CodeDeliveryTest::Scan(std::string_view line) {
  return Decoder(CameraFrame(line), std::string(line) + "\r\n");
}

AssertionResult CodeDeliveryTest::ShowUntilListed(std::string_view data) {
  const std::string line = "QR-Code:" + std::string(data);
  if (!AppendShared(InFolder(L"zbarcam.feed"), CameraFrame(line))) return AssertionFailure() << "cannot write the feed";
  return Heads(line);
}

AssertionResult CodeDeliveryTest::WriteRaw(std::string_view bytes) {
  return Decoder("raw " + Hex(bytes) + "\n", bytes);
}

std::vector<std::string> CodeDeliveryTest::History() const { return ListItemsAtOnce(List()); }

std::vector<std::string> CodeDeliveryTest::Codes() const {
  std::vector<std::string> items = History();
  std::erase_if(items, [](const std::string& item) { return item.starts_with("["); });
  return items;
}

int CodeDeliveryTest::HistoryCount() const {
  bool ok = false;
  const LRESULT count = SendWithTimeout(List(), LB_GETCOUNT, 0, 0, &ok);
  return ok ? static_cast<int>(count) : -1;
}

std::optional<std::string> CodeDeliveryTest::TopEntry() const { return EntryAt(List(), 0); }

AssertionResult CodeDeliveryTest::Heads(std::string_view line, Millis limit) const {
  std::optional<std::string> top;
  if (WaitForValue([&] { return TopEntry(); }, line, top, limit, 10ms)) return AssertionSuccess();
  return AssertionFailure() << "the history's top entry is " << (top ? "\"" + Escaped(*top) + "\"" : "none")
                            << ", not \"" << Escaped(line) << "\"";
}

AssertionResult CodeDeliveryTest::Lists(const std::vector<std::string>& expected, Millis limit) const {
  std::vector<std::string> codes;
  if (WaitForValue([&] { return Codes(); }, expected, codes, limit)) return AssertionSuccess();
  return AssertionFailure() << "the history shows " << Joined(codes) << ", not " << Joined(expected);
}

AssertionResult CodeDeliveryTest::KeepsListing(const std::vector<std::string>& expected, Millis period) const {
  std::vector<std::string> codes;
  if (StaysTrue([&] { return (codes = Codes()) == expected; }, period)) return AssertionSuccess();
  return AssertionFailure() << "the history came to show " << Joined(codes) << "; it was to stay " << Joined(expected);
}

AssertionResult CodeDeliveryTest::Logs(std::string_view expected, Millis limit) const {
  std::optional<std::string> log;
  if (WaitForValue([&] { return Log(); }, expected, log, limit)) return AssertionSuccess();
  return AssertionFailure() << "data.txt holds " << (log ? "\"" + Escaped(*log, 2000) + "\"" : "nothing (no file)")
                            << ", not \"" << Escaped(expected, 2000) << "\"";
}

std::string CodeDeliveryTest::Typed() {
  const auto text = target_->TextBeforeFence();
  if (!text) {
    ADD_FAILURE() << "the fence never arrived in the typing target (focus "
                  << (target_->HasFocus() ? "kept" : "lost") << "); it holds \"" << Escaped(target_->Text()) << "\"";
    return "<no fence>";
  }
  return *text;
}

AssertionResult CodeDeliveryTest::TargetShows(std::string_view expected, Millis limit) const {
  std::string text;
  if (WaitForValue([&] { return target_->Text(); }, expected, text, limit)) return AssertionSuccess();
  return AssertionFailure() << "the typing target holds \"" << Escaped(text, 2000) << "\", not \""
                            << Escaped(expected, 2000) << "\"";
}

AssertionResult CodeDeliveryTest::ClipboardHolds(std::string_view expected, Millis limit) const {
  std::optional<std::string> text;
  if (WaitForValue(ClipboardText, expected, text, limit)) return AssertionSuccess();
  return AssertionFailure() << "the clipboard holds " << (text ? "\"" + Escaped(*text) + "\"" : "no text") << ", not \""
                            << Escaped(expected) << "\"";
}

AssertionResult CodeDeliveryTest::ClipboardKeeps(std::string_view expected, Millis period) const {
  std::optional<std::string> text;
  if (StaysTrue([&] { return (text = ClipboardText()) == expected; }, period)) return AssertionSuccess();
  return AssertionFailure() << "the clipboard changed to " << (text ? "\"" + Escaped(*text) + "\"" : "no text")
                            << "; it was to keep \"" << Escaped(expected) << "\"";
}

}  // namespace torvane::e2e
