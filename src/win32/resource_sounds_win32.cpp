#include "win32/resource_sounds_win32.h"

#include <mmsystem.h>

namespace torvane::win32 {

void ResourceSounds::Beep() {
  PlaySoundW(MAKEINTRESOURCEW(beep_), instance_, SND_RESOURCE | SND_ASYNC | SND_NODEFAULT);
}

}  // namespace torvane::win32
