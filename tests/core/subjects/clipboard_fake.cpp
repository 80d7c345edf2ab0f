#include "clipboard_subject.h"
#include "fakes/typing.h"

namespace torvane::contract {
namespace {

class FakeClipboardSubject final : public ClipboardSubject {
 public:
  Clipboard& clipboard() override { return clipboard_; }
  void PutByAnother(std::string_view utf8) override { clipboard_.PutByAnother(std::string(utf8)); }
  std::optional<std::string> ReadByAnother() override { return clipboard_.Read(); }
  void HoldByAnother() override { clipboard_.held = true; }
  void LetGo() override { clipboard_.held = false; }
  int ReadsReported() override { return reported_ += clipboard_.TakeReadReports(); }

 private:
  testing::Journal journal_;
  testing::FakeClipboard clipboard_{journal_};
  int reported_ = 0;
};

}  // namespace

std::unique_ptr<ClipboardSubject> MakeClipboardSubject() { return std::make_unique<FakeClipboardSubject>(); }

}  // namespace torvane::contract
