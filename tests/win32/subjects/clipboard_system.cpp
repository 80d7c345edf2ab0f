// The system clipboard, with the other program played by threads of the test.
#include <cstring>
#include "clipboard_subject.h"
#include "win32_test_support.h"
#include "message_loop.h"
#include "win32/clipboard_win32.h"

namespace torvane::contract {
namespace {

class SystemClipboardSubject final : public ClipboardSubject {
 public:
  SystemClipboardSubject() { clipboard_.WhenOfferedTextRead([this] { ++reads_; }); }
  ~SystemClipboardSubject() override { LetGo(); }

  Clipboard& clipboard() override { return clipboard_; }

  void PutByAnother(std::string_view utf8) override {
    RunAsAnotherProgram([&] { torvane::testing::SetClipboardText(nullptr, utf8); });
  }

  std::optional<std::string> ReadByAnother() override {
    std::optional<std::string> text;
    RunAsAnotherProgram([&] {
      if (!OpenClipboard(nullptr)) return;
      if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = win32::Narrow(static_cast<const wchar_t*>(GlobalLock(data)));
        GlobalUnlock(data);
      }
      CloseClipboard();
    });
    return text;
  }

  void HoldByAnother() override {
    win32::UniqueHandle opened(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    letGo_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    holder_ = std::thread([this, event = opened.get()] {
      const bool open = OpenClipboard(nullptr) != FALSE;
      SetEvent(event);
      if (!open) return;
      WaitForSingleObject(letGo_.get(), 30000);
      CloseClipboard();
    });
    WaitForSingleObject(opened.get(), 5000);
  }

  void LetGo() override {
    if (!holder_.joinable()) return;
    SetEvent(letGo_.get());
    holder_.join();
  }

  int ReadsReported() override {
    HandleWaitingMessages();
    return reads_;
  }

 private:
  win32::SystemClipboard clipboard_;
  int reads_ = 0;
  win32::UniqueHandle letGo_;
  std::thread holder_;
};

}  // namespace

std::unique_ptr<ClipboardSubject> MakeClipboardSubject() { return std::make_unique<SystemClipboardSubject>(); }

}  // namespace torvane::contract
