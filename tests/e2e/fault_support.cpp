#include "fault_support.h"

#include <algorithm>
#include <sstream>

#include "win32/text_win32.h"

namespace torvane::e2e::faults {
namespace {

namespace fs = std::filesystem;
using testing::AssertionFailure;
using testing::AssertionResult;
using testing::AssertionSuccess;
using win32::Narrow;
using win32::UniqueFile;
using win32::Widen;

// Right of Torvane's window (screen centre), below the notification-area window.
constexpr PixelRect kTargetPlace{660, 60, 340, 220};

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  DWORD_PTR answer = 0;
  const bool ok = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &answer) != 0;
  result = static_cast<LRESULT>(answer);
  return ok;
}

std::optional<std::string> EntryAt(HWND list, LRESULT index) {
  LRESULT length = 0, copied = 0;
  if (!Send(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0, length) || length < 0) return std::nullopt;
  // LB_GETTEXT takes no buffer size and an entry may move into this place
  // meanwhile: room for any entry these tests make.
  std::vector<wchar_t> buffer(std::max<std::size_t>(static_cast<std::size_t>(length), 64 * 1024) + 1);
  if (!Send(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()), copied) ||
      copied < 0 || static_cast<std::size_t>(copied) >= buffer.size())
    return std::nullopt;
  return Narrow(std::wstring_view(buffer.data(), static_cast<std::size_t>(copied)));
}

}  // namespace

// ---- Files ------------------------------------------------------------------

namespace {

bool Writable(const fs::path& path) {
  return static_cast<bool>(UniqueFile(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                  FILE_ATTRIBUTE_NORMAL, nullptr)));
}

bool SetImmutable(const fs::path& path, bool on) {
  const ShellResult done =
      RunLinuxShell(std::string("timeout 10 chattr ") + (on ? "+i " : "-i ") + ShellQuote(UnixPath(path)));
  return done.finished && done.exitCode == 0;
}

}  // namespace

ReadOnlyFile::ReadOnlyFile(fs::path path) : path_(std::move(path)) {
  readOnly_ = SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY) != FALSE;
  if (!readOnly_) {
    problem_ = "cannot set the read-only attribute: error " + std::to_string(GetLastError());
    return;
  }
  if (!Writable(path_)) return;
  immutable_ = SetImmutable(path_, true);
  if (!immutable_) problem_ = "the read-only file stays writable and chattr +i failed";
  else if (Writable(path_)) problem_ = "the file stays writable even when immutable";
}

ReadOnlyFile::~ReadOnlyFile() { MakeWritable(); }

bool ReadOnlyFile::MakeWritable() {
  bool ok = true;
  if (immutable_) {
    ok = SetImmutable(path_, false);
    immutable_ = !ok;
  }
  if (readOnly_) {
    readOnly_ = SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL) == FALSE;
    ok = ok && !readOnly_;
  }
  return ok;
}

// ---- Responsiveness --------------------------------------------------------------------

ResponsivenessProbe::ResponsivenessProbe(HWND window) : window_(window) {
  thread_ = std::thread([this] {
    while (!stop_) {
      const auto sent = std::chrono::steady_clock::now();
      DWORD_PTR ignored = 0;
      const bool answered =
          SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored) != 0;
      const auto took = std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now() - sent).count();
      ++sends_;
      if (!answered) ++unanswered_;
      if (took > longestMs_) longestMs_ = took;
      std::this_thread::sleep_for(20ms);
    }
  });
}

ResponsivenessProbe::~ResponsivenessProbe() { Stop(); }

void ResponsivenessProbe::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

// ---- The fixture -----------------------------------------------------------------------

void FaultTest::SetUp() {
  TorvaneTest::SetUp();
  token_ = FreshToken();
}

void FaultTest::TearDown() {
  target_.reset();
  TorvaneTest::TearDown();
}

void FaultTest::StartAndSettle() {
  ASSERT_NO_FATAL_FAILURE(StartTorvane());
  ASSERT_TRUE(WaitForModuleSettled(Main(), 30s))
      << "the decoder never came up; the list holds " << Joined(History());
}

void FaultTest::LaunchWithTarget() {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  target_ = std::make_unique<TypingTarget>(kTargetPlace);
  ASSERT_TRUE(target_->Created()) << "cannot make the typing target";
  const PixelRect torvane = ScreenRect(Main());
  ASSERT_TRUE(torvane.right() <= kTargetPlace.left || torvane.bottom() <= kTargetPlace.top)
      << "the typing target would cover Torvane's window";
}

HWND FaultTest::List() const { return GetDlgItem(Main(), static_cast<int>(ControlId::CodeList)); }

void FaultTest::OpenSettings() {
  ASSERT_NO_FATAL_FAILURE(Click(ControlId::bset));
  ASSERT_TRUE(WaitUntil([&] { return Read(ControlId::Fset).visible; }, 10s)) << "设置 did not open the panel";
}

void FaultTest::SetOptions(const Options& options) {
  ASSERT_NO_FATAL_FAILURE(OpenSettings());
  ASSERT_NO_FATAL_FAILURE(SetCheck(ControlId::Check1, options.type));
  ASSERT_NO_FATAL_FAILURE(SetCheck(ControlId::Check2, options.copy));
  const ControlId option = options.after == AfterText::Enter ? ControlId::o1
                           : options.after == AfterText::Tab ? ControlId::o2
                                                              : ControlId::o0;
  if (Read(option).check != BST_CHECKED) {
    ASSERT_NO_FATAL_FAILURE(Click(option));
    ASSERT_TRUE(WaitUntil([&] { return Read(option).check == BST_CHECKED; }, 10s));
  }
  ASSERT_NO_FATAL_FAILURE(Click(ControlId::setok));
  ASSERT_TRUE(WaitUntil([&] { return !Read(ControlId::Fset).visible; }, 10s)) << "确定 did not close the panel";
  if (target_) {
    ASSERT_TRUE(target_->TakeFocus()) << "the typing target did not get the keyboard focus";
  }
}

void FaultTest::SetCheck(ControlId box, bool checked) {
  const int want = checked ? BST_CHECKED : BST_UNCHECKED;
  if (Read(box).check == want) return;
  ASSERT_NO_FATAL_FAILURE(Click(box));
  ASSERT_TRUE(WaitUntil([&] { return Read(box).check == want; }, 10s)) << "the click did not toggle the box";
}

AssertionResult FaultTest::Decoder(std::string_view feedLines, std::string_view output) {
  const std::size_t before = Bar().size();
  if (!AppendShared(InFolder(L"zbarcam.feed"), feedLines)) return AssertionFailure() << "cannot write the feed";
  std::string bar;
  if (WaitUntil(
          [&] {
            bar = Bar();
            return bar.size() == before + output.size() && bar.ends_with(output);
          },
          15s, 10ms))
    return AssertionSuccess();
  return AssertionFailure() << "bar.dat did not get \"" << Escaped(output) << "\"; it holds \"" << Escaped(bar)
                            << "\"";
}

AssertionResult FaultTest::Scan(std::string_view symbology, std::string_view data) {
  const std::string line = std::string(symbology) + ":" + std::string(data) + "\r\n";
  return Decoder("sym " + std::string(symbology) + " " + Hex(data) + "\nframe\n", line);
}

AssertionResult FaultTest::WriteRaw(std::string_view bytes) { return Decoder("raw " + Hex(bytes) + "\n", bytes); }

std::vector<std::string> FaultTest::History() const {
  const HWND list = List();
  std::vector<std::string> entries;
  for (int attempt = 0; attempt < 5; ++attempt) {
    entries.clear();
    LRESULT count = 0, countAfter = 0;
    if (!Send(list, LB_GETCOUNT, 0, 0, count) || count < 0) return entries;
    bool ok = true;
    for (LRESULT i = 0; ok && i < count; ++i) {
      auto entry = EntryAt(list, i);
      ok = entry.has_value();
      if (ok) entries.push_back(std::move(*entry));
    }
    if (ok && Send(list, LB_GETCOUNT, 0, 0, countAfter) && countAfter == count) return entries;
  }
  return entries;
}

std::vector<std::string> FaultTest::Codes() const {
  std::vector<std::string> items = History();
  std::erase_if(items, [](const std::string& item) { return item.starts_with("["); });
  return items;
}

int FaultTest::HistoryCount() const {
  LRESULT count = 0;
  return Send(List(), LB_GETCOUNT, 0, 0, count) ? static_cast<int>(count) : -1;
}

std::optional<std::string> FaultTest::TopEntry() const { return EntryAt(List(), 0); }

AssertionResult FaultTest::Heads(std::string_view line, Millis limit) const {
  std::optional<std::string> top;
  if (WaitUntil(
          [&] {
            top = TopEntry();
            return top == line;
          },
          limit, 10ms))
    return AssertionSuccess();
  return AssertionFailure() << "the history's top entry is " << (top ? "\"" + Escaped(*top) + "\"" : "none")
                            << ", not \"" << Escaped(line) << "\"";
}

AssertionResult FaultTest::Lists(const std::vector<std::string>& expected, Millis limit) const {
  std::vector<std::string> codes;
  if (WaitUntil(
          [&] {
            codes = Codes();
            return codes == expected;
          },
          limit))
    return AssertionSuccess();
  return AssertionFailure() << "the history shows " << Joined(codes) << ", not " << Joined(expected);
}

AssertionResult FaultTest::KeepsListing(const std::vector<std::string>& expected, Millis period) const {
  std::vector<std::string> codes;
  const bool changed = WaitUntil(
      [&] {
        codes = Codes();
        return codes != expected;
      },
      period);
  if (!changed) return AssertionSuccess();
  return AssertionFailure() << "the history came to show " << Joined(codes) << "; it was to stay " << Joined(expected);
}

AssertionResult FaultTest::Logs(std::string_view expected, Millis limit) const {
  std::optional<std::string> log;
  if (WaitUntil(
          [&] {
            log = Log();
            return log == expected;
          },
          limit))
    return AssertionSuccess();
  return AssertionFailure() << "data.txt holds " << (log ? "\"" + Escaped(*log, 2000) + "\"" : "nothing (no file)")
                            << ", not \"" << Escaped(expected, 2000) << "\"";
}

std::string FaultTest::Typed() {
  const auto text = target_->TextBeforeFence();
  if (!text) {
    ADD_FAILURE() << "the fence never arrived in the typing target (focus "
                  << (target_->HasFocus() ? "kept" : "lost") << "); it holds \"" << Escaped(target_->Text()) << "\"";
    return "<no fence>";
  }
  return *text;
}

AssertionResult FaultTest::TargetShows(std::string_view expected, Millis limit) const {
  std::string text;
  if (WaitUntil(
          [&] {
            text = target_->Text();
            return text == expected;
          },
          limit))
    return AssertionSuccess();
  return AssertionFailure() << "the typing target holds \"" << Escaped(text, 2000) << "\", not \""
                            << Escaped(expected, 2000) << "\"";
}

}  // namespace torvane::e2e::faults
