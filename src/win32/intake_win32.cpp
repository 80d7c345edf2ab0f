#include "win32/adapters.h"

#include <mmsystem.h>
#include "win32/system_library.h"
#include "win32/text_win32.h"
#include "win32/unique_handle.h"

namespace torvane::win32 {

std::string AnsiCodePage::ToUtf8(std::string_view bytes) { return AnsiToUtf8(bytes); }

void ResourceSounds::Beep() {
  // winmm is loaded at the first beep, not at start (system_library.h).
  static const auto playSound = SystemFunction<decltype(PlaySoundW)>(L"winmm.dll", "PlaySoundW");
  if (playSound) playSound(MAKEINTRESOURCEW(beep_), instance_, SND_RESOURCE | SND_ASYNC | SND_NODEFAULT);
}

}  // namespace torvane::win32
