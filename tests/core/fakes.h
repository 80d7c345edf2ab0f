// Recording fakes of the program's ports, and the whole program wired to them.
// Each call that changes something is written to one shared journal so that
// tests can check the order of steps.
#pragma once

#include <string>
#include <string_view>

#include "core/program.h"
#include "fakes/cameras.h"
#include "fakes/files.h"
#include "fakes/folder.h"
#include "fakes/journal.h"
#include "fakes/processes.h"
#include "fakes/settings.h"
#include "fakes/shell.h"
#include "fakes/target.h"
#include "fakes/typing.h"
#include "fakes/window.h"
#include "iconv_encoder.h"

namespace torvane::testing {

// The whole program, wired to the fakes. The decoder output files, the ANSI
// code page and the character sets can be swapped for other fakes.
template <typename OutputFile = FakeFile, typename Ansi = FakeAnsi, typename Charsets = IconvCharsetEncoder>
struct BasicRig {
  Journal journal;
  FakeWindow window{journal};
  FakeHandScannerPage handScannerPage;
  FakeProcesses processes{journal};
  FakeDesktop desktop{journal};
  FakeLauncher launcher{journal};
  FakeFolder folder{journal};
  FakeCameras cameras;
  FakeSettings settings;
  FakeStartup startup{journal};
  FakeTray tray{journal};
  FakeBoxes boxes{journal};
  OutputFile barDat;
  OutputFile bar2Dat;
  FakeFile decoderExe;      // zbarcam.exe, empty unless a test writes an image into it
  FakeFile decoderLibrary;  // libzbar-0.dll, likewise
  Ansi ansi;
  FakeLog log;
  FakeKeyboard keyboard{journal};
  FakeClipboard clipboard{journal};
  Charsets charsets;
  FakeLayout layout;
  FakeSounds sounds{journal};
  FakeScanLog scanLog;
  FakeInputMethods inputMethods{journal};
  FakeIntegrityLevels integrity;
  Program program{Platform{.window = window,
                           .handScannerPage = handScannerPage,
                           .processes = processes,
                           .desktop = desktop,
                           .launcher = launcher,
                           .folder = folder,
                           .cameras = cameras,
                           .settings = settings,
                           .startup = startup,
                           .tray = tray,
                           .boxes = boxes,
                           .cameraOutput = barDat,
                           .imageOutput = bar2Dat,
                           .cameraDecoder = decoderExe,
                           .cameraDecoderLibrary = decoderLibrary,
                           .ansi = ansi,
                           .log = log,
                           .keyboard = keyboard,
                           .layout = layout,
                           .clipboard = clipboard,
                           .charsets = charsets,
                           .sounds = sounds,
                           .scanLog = scanLog,
                           .integrity = &integrity,
                           .inputMethods = &inputMethods}};
  // The window of another program that has the keyboard focus.
  FakeFocusedWindow target{keyboard, clipboard, layout, &inputMethods};

  // Torvane's window gets to the clipboard's reports that offered text was read.
  void HandleClipboardReports(std::int64_t nowMs) {
    for (int reads = clipboard.TakeReadReports(); reads > 0; --reads) program.typing.OnPastedTextRead(nowMs);
  }

  // A camera decoder started from the program folder, with its video window.
  void RunDecoderWithWindow(std::uint32_t pid = 20) {
    processes.Add(pid, "zbarcam.exe", "C:\\Scan\\zbarcam.exe");
    desktop.Open("ZBar", pid);
  }

  bool Has(std::string_view entry) const {
    for (const auto& e : journal)
      if (e == entry) return true;
    return false;
  }
  // Index of the first journal entry equal to `entry`, or -1.
  int IndexOf(std::string_view entry) const {
    for (size_t i = 0; i < journal.size(); ++i)
      if (journal[i] == entry) return static_cast<int>(i);
    return -1;
  }
};

using Rig = BasicRig<>;

// A rig whose camera decoder this run has launched: bar.dat is read from here on.
struct CameraRig : Rig {
  CameraRig() {
    program.module.Launch();
    journal.clear();
  }
};

}  // namespace torvane::testing

