// The whole behaviour, wired in one place: each part gets the ports it needs
// and the parts it hands work to.
#pragma once

#include "core/camera_intake.h"
#include "core/code_delivery.h"
#include "core/decoder_cameras.h"
#include "core/image_decoding.h"
#include "core/ports.h"
#include "core/target_window_ports.h"
#include "core/recognition_module.h"
#include "core/options.h"
#include "core/screen_ports.h"
#include "core/screen_scan.h"
#include "core/settings_panel.h"
#include "core/typing_queue.h"
#include "core/window_behaviour.h"
#include "core/zbar_offer.h"

namespace torvane {

// Every side effect of the program, as the platform provides it.
struct Platform {
  MainWindowPorts& window;
  HandScannerOptionsPage& handScannerPage;  // the third settings page
  Clock& clock;
  ProcessTable& processes;
  DesktopWindows& desktop;
  DecoderProcesses& decoders;
  ProgramFolder& folder;
  CameraList& cameras;
  SettingsStore& settings;
  StartupEntry& startup;
  TrayIcon& tray;
  MessageBoxes& boxes;
  RandomAccessFile& cameraDecoder;         // zbarcam.exe, only read
  RandomAccessFile& cameraDecoderLibrary;  // libzbar-0.dll, only read
  AnsiDecoder& ansi;
  LogFile& log;                    // data.txt
  Keyboard& keyboard;
  KeyboardLayout& layout;
  Clipboard& clipboard;
  CharsetEncoder& charsets;
  Sounds& sounds;
  ScanLogFile& scanLog;            // scans.csv
  InstalledPrograms& installed;
  Environment& environment;
  FolderListing& folders;
  Questions& questions;
  LogFile& copiedZbarList;         // zbar-files.txt
  ScreenCapture& screen;
  RegionPicker& regionPicker;
  HotkeyRegistration& screenHotkey;
  // The program of the window the keys go to. Where the platform does not
  // hand these in, its integrity level is not compared and its input method
  // is left alone.
  IntegrityLevels* integrity = nullptr;
  InputMethods* inputMethods = nullptr;
};

// What the program knows of a window's integrity level and input method
// where the platform tells nothing: nothing, and it changes nothing.
struct UnknownTypingTarget final : IntegrityLevels, InputMethods {
  std::optional<std::uint32_t> Own() override { return std::nullopt; }
  std::optional<std::uint32_t> Target() override { return std::nullopt; }
  std::optional<WindowId> FocusedInputMethod() override { return std::nullopt; }
  std::optional<bool> IsOpen(WindowId) override { return std::nullopt; }
  bool SetOpen(WindowId, bool) override { return false; }
};

struct Program {
  explicit Program(const Platform& p)
      : cameras({.cameras = p.cameras, .decoder = p.cameraDecoder, .library = p.cameraDecoderLibrary}),
        typing({.keyboard = p.keyboard,
                .clipboard = p.clipboard,
                .timers = p.window,
                .inputMethods = p.inputMethods ? *p.inputMethods : unknownTarget_}),
        delivery({.options = options,
                  .history = p.window,
                  .keyboard = p.keyboard,
                  .clipboard = p.clipboard,
                  .log = p.log,
                  .layout = p.layout,
                  .sounds = p.sounds,
                  .scanLog = p.scanLog,
                  .typing = typing,
                  .timers = p.window,
                  .window = p.window,
                  .tray = p.tray,
                  .integrity = p.integrity ? *p.integrity : unknownTarget_}),
        intake({.timers = p.window,
                .clock = p.clock,
                .status = p.window,
                .settings = p.settings,
                .ansi = p.ansi,
                .charsets = p.charsets,
                .delivery = delivery,
                .options = options.scanner}),
        module({.status = p.window,
                .history = p.window,
                .timers = p.window,
                .clock = p.clock,
                .processes = p.processes,
                .desktop = p.desktop,
                .decoders = p.decoders,
                .folder = p.folder,
                .cameras = cameras,
                .intake = intake,
                .ansi = p.ansi,
                .options = options}),
        images({.history = p.window,
                .processes = p.processes,
                .decoders = p.decoders,
                .folder = p.folder,
                .ansi = p.ansi,
                .charsets = p.charsets,
                .delivery = delivery}),
        screen({.capture = p.screen,
                .picker = p.regionPicker,
                .folder = p.folder,
                .decoders = p.decoders,
                .history = p.window,
                .intake = intake,
                .hotkey = p.screenHotkey,
                .window = p.window,
                .tray = p.tray}),
        settings({.window = p.window,
                  .firstPage = p.window,
                  .settings = p.settings,
                  .startup = p.startup,
                  .folder = p.folder,
                  .boxes = p.boxes,
                  .module = module,
                  .options = options,
                  .page = p.window,
                  .handScannerPage = p.handScannerPage,
                  .cameras = cameras,
                  .screen = screen}),
        zbar({.search = {.installed = p.installed, .environment = p.environment, .folders = p.folders},
              .folder = p.folder,
              .settings = p.settings,
              .questions = p.questions,
              .history = p.window,
              .copiedList = p.copiedZbarList}),
        window({.window = p.window,
                .timers = p.window,
                .tray = p.tray,
                .boxes = p.boxes,
                .module = module,
                .intake = intake,
                .images = images,
                .delivery = delivery,
                .typing = typing,
                .settings = settings,
                .zbar = zbar,
                .screen = screen}) {}
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // A timer of the window has ticked: the part it belongs to takes it.
  void OnTimer(TimerId timer, const TickTime& now) {
    switch (timer) {
      case TimerId::ModuleRestart:
        return module.OnModuleRestartTick();
      case TimerId::ModuleWait:
        return module.OnModuleWaitTick();
      case TimerId::OutputRest:
        return intake.OnOutputRestTick(now);
      case TimerId::LogRetry:
        return delivery.OnLogRetryTick();
      case TimerId::Typing:
        return typing.OnTypingTick(now.monotonicMs);
      case TimerId::EndGrace:
        return window.OnEndGraceTick();
    }
  }

  UnknownTypingTarget unknownTarget_;
  Options options;  // the settings pages', read at start-up
  DecoderCameras cameras;
  TypingQueue typing;
  CodeDelivery delivery;
  CameraIntake intake;
  RecognitionModule module;
  ImageDecoding images;
  ScreenScan screen;
  SettingsPanel settings;
  ZbarOffer zbar;
  WindowBehaviour window;
};

}  // namespace torvane
