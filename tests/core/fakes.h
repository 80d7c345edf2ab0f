// Recording fakes of the program's ports, and the whole program wired to them.
// Each call that changes something is written to one shared journal so that
// tests can check the order of steps.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include "core/program.h"
#include "fakes/cameras.h"
#include "fakes/decoders.h"
#include "fakes/files.h"
#include "fakes/folder.h"
#include "fakes/hotkeys.h"
#include "fakes/installed.h"
#include "fakes/journal.h"
#include "fakes/processes.h"
#include "fakes/screen.h"
#include "fakes/settings.h"
#include "fakes/shell.h"
#include "fakes/target.h"
#include "fakes/typing.h"
#include "fakes/window.h"
#include "iconv_encoder.h"

namespace torvane::testing {

// The whole program, wired to the fakes. The ANSI code page and the character
// sets can be swapped for other fakes.
template <typename Ansi = FakeAnsi, typename Charsets = IconvCharsetEncoder>
struct BasicRig {
  Journal journal;
  FakeClock clock;
  FakeWindow window{journal, clock};
  FakeHandScannerPage handScannerPage;
  FakeProcesses processes{journal};
  FakeDesktop desktop{journal};
  FakeDecoders decoders{journal};
  FakeFolder folder{journal};
  FakeCameras cameras;
  FakeSettings settings;
  FakeStartup startup{journal};
  FakeTray tray{journal};
  FakeBoxes boxes{journal};
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
  FakeInstalledPrograms installed;
  FakeEnvironment environment;
  FakeQuestions questions{journal};
  FakeLog copiedZbarList;
  FakeInputMethods inputMethods{journal};
  FakeIntegrityLevels integrity;
  FakeCapture screen;
  FakePicker regionPicker;
  FakeHotkeySystem hotkeys;
  FakeHotkey screenHotkey{hotkeys};
  Program program{Platform{.window = window,
                           .handScannerPage = handScannerPage,
                           .clock = clock,
                           .processes = processes,
                           .desktop = desktop,
                           .decoders = decoders,
                           .folder = folder,
                           .cameras = cameras,
                           .settings = settings,
                           .startup = startup,
                           .tray = tray,
                           .boxes = boxes,
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
                           .installed = installed,
                           .environment = environment,
                           .folders = folder,
                           .questions = questions,
                           .copiedZbarList = copiedZbarList,
                           .screen = screen,
                           .regionPicker = regionPicker,
                           .screenHotkey = screenHotkey,
                           .integrity = &integrity,
                           .inputMethods = &inputMethods}};
  // The window of another program that has the keyboard focus.
  FakeFocusedWindow target{keyboard, clipboard, layout, &inputMethods};

  // Only a decoder whose file is in the folder can be started.
  BasicRig() {
    decoders.exists = [this](std::string_view program) { return folder.Read(program).has_value(); };
  }

  // The user clicks a box of the first settings page, which then shows `shows`.
  void ClickBox(Option box, CheckState shows) {
    window.checks[box] = shows;
    program.settings.OnOptionBoxClicked(box);
  }

  // Torvane's window gets to the clipboard's reports that offered text was read.
  void HandleClipboardReports(std::int64_t nowMs) {
    for (int reads = clipboard.TakeReadReports(); reads > 0; --reads) program.typing.OnPastedTextRead(nowMs);
  }

  // Time passes on the clock, and the timers due meanwhile tick in their order.
  void Elapse(std::int64_t ms) {
    const std::int64_t until = clock.now.monotonicMs + ms;
    while (const std::optional<TimerId> due = window.DueBy(until)) {
      window.Tick(*due);
      program.OnTimer(*due, clock.now);
    }
    clock.now.monotonicMs = until;
  }

  // The camera decoder asked for its version (zbarcam --version), if one is.
  std::optional<std::uint32_t> VersionQuery() const {
    for (const std::uint32_t id : decoders.RunningIds())
      if (decoders.PlanOf(id).commandLine.ends_with(" --version")) return id;
    return std::nullopt;
  }
  // It prints `version` and ends, as zbarcam does.
  void AnswerVersion(std::string_view version = "0.23.93") {
    const std::uint32_t query = VersionQuery().value();
    decoders.Write(query, std::string(version) + "\r\n");
    decoders.Exit(query, 0);
  }
  // The camera decoder this run launched and that runs now.
  std::uint32_t CameraDecoder() const {
    for (const std::uint32_t id : decoders.RunningIds())
      if (decoders.PlanOf(id).program == "C:\\Scan\\zbarcam.exe" && !decoders.PlanOf(id).commandLine.ends_with(" --version"))
        return id;
    throw std::logic_error("no camera decoder runs");
  }
  // The camera decoder's video window appears.
  WindowId ShowVideoWindow() {
    const std::uint32_t id = CameraDecoder();
    const WindowId video = desktop.Open("ZBar", id);
    decoders.ShowWindow(id, video, "ZBar");
    return video;
  }
  // What the camera decoder writes.
  void Write(std::string_view bytes) { decoders.Write(CameraDecoder(), bytes); }

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

// A rig whose camera decoder this run has launched, in the form its version
// tells (0.23 writes plain lines, 0.10 XML); the history and journal start empty.
struct CameraRig : Rig {
  explicit CameraRig(std::string_view version = "0.23.93") {
    program.module.StartAtLoad();
    AnswerVersion(version);
    journal.clear();
    window.history.clear();
  }
};

}  // namespace torvane::testing

