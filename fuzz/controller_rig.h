// A controller wired to the recording fakes of the core tests, with bar.dat
// and bar2.dat in memory. The ANSI code page is Latin-1 and no character set
// is repaired, so that what the controller makes of a line can be worked out
// independently.
#pragma once

#include "core/controller.h"
#include "fakes.h"
#include "latin1_ansi.h"
#include "memory_file.h"

namespace torvane::fuzz {

struct NoCharsets final : CharsetEncoder {
  std::optional<std::string> Encode(std::string_view, Charset) override { return std::nullopt; }
};

struct ControllerRig {
  testing::Journal journal;
  testing::FakeForm form{journal};
  testing::FakeProcesses processes{journal};
  testing::FakeDesktop desktop{journal};
  testing::FakeLauncher launcher{journal};
  testing::FakeFolder folder{journal};
  testing::FakeSettings settings;
  testing::FakeStartup startup{journal};
  testing::FakeTray tray{journal};
  testing::FakeBoxes boxes{journal};
  MemoryFile barDat;
  MemoryFile bar2Dat;
  Latin1Ansi ansi;
  testing::FakeLog log;
  testing::FakeKeyboard keyboard{journal};
  testing::FakeClipboard clipboard{journal};
  NoCharsets charsets;
  Controller controller{Ports{form, processes, desktop, launcher, folder, settings, startup, tray, boxes, barDat,
                              bar2Dat, ansi, log, keyboard, clipboard, charsets}};
};

}  // namespace torvane::fuzz
