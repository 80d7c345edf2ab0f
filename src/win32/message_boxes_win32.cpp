#include "win32/message_boxes_win32.h"

#include "win32/text_win32.h"

namespace torvane::win32 {

void OwnedMessageBoxes::ShowOk(std::string_view text, std::string_view caption) {
  MessageBoxW(owner_, Widen(text).c_str(), Widen(caption).c_str(), MB_OK);
}

bool OwnedMessageBoxes::AskYesNo(std::string_view text, std::string_view caption) {
  return MessageBoxW(owner_, Widen(text).c_str(), Widen(caption).c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace torvane::win32
