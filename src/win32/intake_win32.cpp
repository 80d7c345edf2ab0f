#include "win32/adapters.h"

#include <mmsystem.h>
#include "win32/text_win32.h"
#include "win32/unique_handle.h"

namespace torvane::win32 {

std::string AnsiCodePage::ToUtf8(std::string_view bytes) { return AnsiToUtf8(bytes); }

void ResourceSounds::Beep() {
  PlaySoundW(MAKEINTRESOURCEW(beep_), instance_, SND_RESOURCE | SND_ASYNC | SND_NODEFAULT);
}

}  // namespace torvane::win32
