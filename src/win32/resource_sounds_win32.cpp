#include "win32/resource_sounds_win32.h"

#include <mmsystem.h>
#include "win32/system_library.h"

namespace torvane::win32 {

void ResourceSounds::Beep() {
  // winmm is loaded at the first beep, not at start (system_library.h).
  static const auto playSound = SystemFunction<decltype(PlaySoundW)>(L"winmm.dll", "PlaySoundW");
  if (playSound) playSound(MAKEINTRESOURCEW(beep_), instance_, SND_RESOURCE | SND_ASYNC | SND_NODEFAULT);
}

}  // namespace torvane::win32
