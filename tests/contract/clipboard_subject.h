// The clipboard under contract, and another program beside it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include "core/ports.h"

namespace torvane::contract {

struct ClipboardSubject {
  virtual ~ClipboardSubject() = default;
  virtual Clipboard& clipboard() = 0;
  // Another program sets the clipboard to text, or reads its text as a paste does.
  virtual void PutByAnother(std::string_view utf8) = 0;
  virtual std::optional<std::string> ReadByAnother() = 0;
  // Another program holds the clipboard open until it lets go.
  virtual void HoldByAnother() = 0;
  virtual void LetGo() = 0;
  // The clipboard's owner handles what waits for it; how many reads of offered
  // text it has been told of so far.
  virtual int ReadsReported() = 0;
};

std::unique_ptr<ClipboardSubject> MakeClipboardSubject();

}  // namespace torvane::contract
