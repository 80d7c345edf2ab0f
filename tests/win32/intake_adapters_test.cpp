// The adapters a delivered code goes through: keys into a focused edit control,
// the stand-in decoder's text-mode output read from its pipe as it writes it.
// (The keyboard's, the clipboard's, the files' and the decoder processes' own
// contracts are in tests/contract.)
#include "core/key_plan.h"
#include "core/camera_output.h"
#include "core/launch.h"
#include "win32/decoders_win32.h"
#include "win32/keyboard_win32.h"
#include "win32_test_support.h"

namespace torvane::testing {
namespace {

using namespace std::chrono_literals;
using win32::Narrow;
using win32::Widen;

// A foreground window holding a multi-line edit control with the focus.
class TypingTarget {
 public:
  TypingTarget() {
    window_ = CreateWindowExW(WS_EX_TOPMOST, L"Edit", L"",
                              WS_POPUP | WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL, 10,
                              10, 400, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(window_, EM_SETLIMITTEXT, 0, 0);
    SetForegroundWindow(window_);
    SetFocus(window_);
    HandleWaitingMessages();
  }
  ~TypingTarget() { DestroyWindow(window_); }
  std::wstring Text() {
    HandleWaitingMessages();
    const int length = GetWindowTextLengthW(window_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(window_, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
  }
  bool Focused() const { return GetFocus() == window_; }

 private:
  HWND window_;
};

TEST(Keyboard, TypesHostileTextsExactlyAsCharacters) {
  TypingTarget target;
  ASSERT_TRUE(target.Focused());
  win32::SendInputKeyboard keyboard;
  const std::vector<std::pair<std::string, std::wstring>> cases = {
      {"%{F4}", L"%{F4}"},
      {"^a{DEL}", L"^a{DEL}"},
      {"~+x(y){Tab}", L"~+x(y){Tab}"},
      {"中文 价格 €100", L"中文 价格 €100"},
      {"emoji \xF0\x9F\x98\x80!", L"emoji \U0001F600!"},
      {"a\tb", L"a\tb"},
      {"BEGIN:VCARD\r\nN:Li\r\nEND", L"BEGIN:VCARD\r\nN:Li\r\nEND"},
      {std::string("esc\x1b" "nul") + '\0' + "end", L"escnulend"},
  };
  std::wstring expected;
  for (const auto& [text, typed] : cases) {
    const auto keys = PlanKeys(text, Suffix::Enter);
    ASSERT_TRUE(keyboard.Inject(keys)) << text;
    expected += typed + L"\r\n";
  }
  EXPECT_TRUE(WaitUntil([&] { return target.Text() == expected; }, 5s)) << Narrow(target.Text());
}

TEST(CameraOutput, EveryRecordIsReadOnceInOrderAsTheStandInWritesIt) {
  ScratchFolder folder(L"bar");
  ASSERT_TRUE(CopyFileW((RunnerFolder() / L"zbarcam.exe").c_str(), (folder / L"zbarcam.exe").c_str(), FALSE));
  CameraOutputReader reader(OutputForm::Lines);
  std::string received;
  std::vector<std::string> records;
  DecoderEvents events;
  events.output = [&](std::string_view bytes) {
    received += bytes;
    for (const CameraRecord& record : reader.Feed(bytes)) records.push_back(record.bytes);
  };
  EventWindow window;
  win32::JobDecoderProcesses decoders(window.Poster());
  const auto id = decoders.Start(CameraLaunchPlan(Narrow(folder.path())), std::move(events));
  ASSERT_TRUE(id.has_value());

  // Two symbols of one frame, one of them with a line break, and half a line.
  ASSERT_TRUE(AppendShared(folder / L"zbarcam.feed", "sym QR-Code " + Hex("first\nsecond") + "\nsym EAN-8 " +
                                                         Hex("96385074") + "\nframe\nraw " + Hex("QR-Code:half") + "\n"));
  EXPECT_TRUE(window.RunUntil([&] { return received.ends_with("half"); }, 5s)) << received;
  EXPECT_EQ(records, (std::vector<std::string>{"QR-Code:first\r\nsecond", "EAN-8:96385074"}))
      << "one flush, complete as it came; the half-written line waits";
  ASSERT_TRUE(AppendShared(folder / L"zbarcam.feed", "raw " + Hex("-done\r\n") + "\n"));
  EXPECT_TRUE(window.RunUntil([&] { return received.ends_with("-done\r\n"); }, 5s)) << received;
  // The rest of a write that came in two pieces waits for the writer's rest.
  for (const CameraRecord& record : reader.Rest()) records.push_back(record.bytes);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records.back(), "QR-Code:half-done");
  EXPECT_EQ(ReadFileBytes(folder / L"bar.dat"), "QR-Code:first\r\nsecond\r\nEAN-8:96385074\r\nQR-Code:half-done\r\n");
  decoders.End(*id);
}

}  // namespace
}  // namespace torvane::testing
