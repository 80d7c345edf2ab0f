// The side effects the behaviour asks for, one small interface each. The
// Win32 edition implements them in src/win32 and src/app; the tests fake them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/decoder_ports.h"
#include "core/key_plan.h"
#include "core/timers.h"
#include "core/pending_log.h"
#include "core/option_page_ports.h"
#include "core/options.h"
#include "core/random_access_file.h"
#include "core/text_decoding.h"

namespace torvane {

// The window as the behaviour sees it: what is shown and chosen, never where
// or with which control. The Win32 window implements all of these.

// The list of codes and status lines, newest at the top.
struct HistoryList {
  virtual ~HistoryList() = default;
  virtual void Add(std::string_view utf8) = 0;
  virtual std::optional<std::string> Selected() const = 0;
};

enum class ModuleStatus { NotRunning, Running };

// What the window tells about the recognition module and the scanning.
struct StatusDisplay {
  virtual ~StatusDisplay() = default;
  // `reason`: why the module does not run, in a few words, where that is known
  // ("未找到 zbarcam.exe"); empty otherwise, and always while it runs.
  virtual void ShowModuleStatus(ModuleStatus status, std::string_view reason) = 0;
  virtual void EnableRestart(bool enabled) = 0;
  virtual void ShowScanning(bool scanning) = 0;  // the pause command offers the opposite
  virtual void ShowSuccess() = 0;                // the help panel's test code was read
};

enum class Panel { Settings, MoreSettings, HandScanner, Help };

// The window as a whole.
struct WindowFrame {
  virtual ~WindowFrame() = default;
  virtual void Show(bool visible) = 0;
  virtual bool Shown() const = 0;
  virtual void BringBack() = 0;  // restored, visible, with the keyboard focus
  virtual void FitToPicture() = 0;
  virtual bool MakeSeeThrough() = 0;  // the picture's key colour lets the desktop through
  virtual void SetTitle(std::string_view utf8) = 0;
  virtual void SetTopmost(bool topmost) = 0;
  virtual void OpenPanel(Panel panel) = 0;  // over the history list
  virtual void ClosePanel(Panel panel) = 0;
  virtual bool PanelOpen(Panel panel) const = 0;
  // The help panel tells how to put ZBar's tools in place, over its test code.
  virtual void ShowZbarHelp(bool shown) = 0;
  // Start-up work that runs once the window has come up.
  virtual void PostDeferredStart() = 0;
  // The window goes and the program ends; no further event is handled.
  virtual void EndProgram() = 0;
};

// Timed events. A timer set on ticks at its interval until it is set off; one
// started once ticks once, after the delay, and is off again. Either replaces
// what the timer was doing before.
struct Timers {
  virtual ~Timers() = default;
  virtual void Set(TimerId timer, bool on) = 0;
  virtual void Once(TimerId timer, int delayMs) = 0;
};

// Everything the main window is to the behaviour; each part is handed the few
// of these it needs.
struct MainWindowPorts : WindowFrame, StatusDisplay, FirstSettingsPage, ScannerOptionsPage, HistoryList, Timers {};

struct ProcessInfo {
  std::uint32_t pid = 0;
  std::string imageName;  // e.g. "zbarcam.exe", as the system reports it
};

struct ProcessTable {
  virtual ~ProcessTable() = default;
  // nullopt when the process list cannot be read at all.
  virtual std::optional<std::vector<ProcessInfo>> Snapshot() = 0;
  // The full path of the process's executable; nullopt when it cannot be read.
  virtual std::optional<std::string> ImagePath(std::uint32_t pid) = 0;
  // Asks the process to end and returns at once. True when it was asked:
  // `ended` then runs later, as an event of its own on the program's thread,
  // once the process is gone and has let go of its files. False when it could
  // not be asked (gone already, or not the program's to end): `ended` never runs.
  virtual bool Terminate(std::uint32_t pid, std::function<void()> ended) = 0;
};

// Top-level windows of other programs, as their events named them.
struct DesktopWindows {
  virtual ~DesktopWindows() = default;
  virtual void RemoveCloseItem(WindowId window) = 0;
  // Never waits for the window's program, which may hang.
  virtual void PlaceTopmost(WindowId window, bool show) = 0;
};

// The time, for events that do not come with their own.
struct Clock {
  virtual ~Clock() = default;
  virtual TickTime Now() = 0;
};

// Files of the program folder, by bare name, and how to name other files to
// the decoders started there.
struct ProgramFolder {
  virtual ~ProgramFolder() = default;
  virtual std::string Path() const = 0;        // as the platform reports it
  virtual std::string ExecutableName() const = 0;  // e.g. "Torvane.exe"
  // True when the name is free afterwards. Never waits: a file another
  // program holds open may keep its name until that program lets go.
  virtual bool Delete(std::string_view name) = 0;
  // Makes the folder's file `name` anew holding exactly `bytes`; false when
  // it cannot be written whole.
  virtual bool WriteFile(std::string_view name, std::string_view bytes) = 0;
  // Copies the file at `path` into the folder as `name`, replacing any file of
  // that name, away from the program's thread: returns at once, and `done`
  // runs later, as an event of its own, with whether the copy was made.
  virtual void CopyIn(std::string_view path, std::string_view name, std::function<void(bool copied)> done) = 0;
  // The size in bytes of the file at `path`; nullopt when it cannot be found.
  virtual std::optional<std::uint64_t> FileSize(std::string_view path) = 0;
  // The short (8.3) form of a file's path (the long one where the volume keeps
  // no short names); nullopt when the file cannot be found.
  virtual std::optional<std::string> ShortPath(std::string_view path) = 0;
  // Whether `path` names the folder's file `name`: the very same file, however
  // the path is spelt (a short name, \\?\, another drive letter for the
  // folder, a junction, another letter case). False when either cannot be found.
  virtual bool IsOwnFile(std::string_view path, std::string_view name) = 0;
};

// A DirectShow video input device, as its properties read.
struct VideoInputDevice {
  std::optional<std::string> friendlyName;  // nullopt: the property cannot be read
  std::optional<std::string> devicePath;    // nullopt: the property cannot be read
  friend bool operator==(const VideoInputDevice&, const VideoInputDevice&) = default;
};

// A Video for Windows capture driver in one of the system's slots 0-9.
struct CaptureDriver {
  int slot = 0;
  std::string name;
  friend bool operator==(const CaptureDriver&, const CaptureDriver&) = default;
};

// The cameras present, as each of the two camera interfaces lists them.
struct CameraList {
  virtual ~CameraList() = default;
  // Every device of DirectShow's video input category, in the system's enumeration order.
  virtual std::vector<VideoInputDevice> VideoInputDevices() = 0;
  // The slots that hold a driver, in slot order.
  virtual std::vector<CaptureDriver> CaptureDrivers() = 0;
};

struct SettingsStore {
  virtual ~SettingsStore() = default;
  virtual std::optional<std::string> Read(std::string_view key) = 0;  // nullopt: absent or unreadable
  virtual bool Write(std::string_view key, std::string_view value) = 0;
};

// The start-with-Windows value.
struct StartupEntry {
  virtual ~StartupEntry() = default;
  virtual std::optional<std::string> Read(std::string_view valueName) = 0;  // nullopt: absent or unreadable
  virtual bool Write(std::string_view valueName, std::string_view data) = 0;
  virtual bool Delete(std::string_view valueName) = 0;  // true when the value is absent afterwards
};

// The system's lists of installed programs ("Apps & features"): the current
// user's and the machine's, which 64-bit Windows keeps in two views.
enum class ProgramList {
  CurrentUser,
  Machine,    // the machine's list in the system's own view (64-bit on 64-bit Windows)
  Machine32,  // the list of 32-bit installers (the same list on 32-bit Windows)
};

struct InstalledPrograms {
  virtual ~InstalledPrograms() = default;
  // A string value of a program's entry, as stored; nullopt: absent, unreadable or no string.
  virtual std::optional<std::string> EntryValue(ProgramList list, std::string_view program,
                                                std::string_view valueName) = 0;
};

struct Environment {
  virtual ~Environment() = default;
  virtual std::optional<std::string> Variable(std::string_view name) = 0;  // nullopt: not set
};

// The files of any folder.
struct FolderListing {
  virtual ~FolderListing() = default;
  // The names of the files directly in `folder` (no subfolders), in no set order;
  // nullopt when it is not a folder that can be read.
  virtual std::optional<std::vector<std::string>> FilesIn(std::string_view folder) = 0;
};

struct TrayIcon {
  virtual ~TrayIcon() = default;
  virtual bool Add() = 0;
  virtual void Remove() = 0;
  // A notice shown beside the icon for a while; false when the icon is not there.
  virtual bool ShowBalloon(std::string_view title, std::string_view text) = 0;
};

struct MessageBoxes {
  virtual ~MessageBoxes() = default;
  virtual void ShowOk(std::string_view text, std::string_view caption) = 0;  // modal
};

struct Questions {
  virtual ~Questions() = default;
  virtual bool AskYesNo(std::string_view text, std::string_view caption) = 0;  // modal; true: yes
};

// Keys typed into whichever window has the keyboard focus, all in one go so
// that nothing the user types lands in the middle. They are only queued: the
// window reads them, and the clipboard for a Ctrl+V among them, when it next
// handles its input, after Inject has returned.
struct Keyboard {
  virtual ~Keyboard() = default;
  virtual bool Inject(std::span<const KeyEvent> keys) = 0;
};

// The system clipboard. While another window holds it open, every call is
// refused (false) and changes nothing.
struct Clipboard {
  virtual ~Clipboard() = default;
  // Clears the clipboard, then sets it to the text.
  virtual bool SetText(std::string_view utf8) = 0;
  // Clears the clipboard and offers the text, asking clipboard history and
  // monitors to leave it alone. The text is rendered when a program first
  // asks for it; that read is reported as an event once the reader is done
  // (TypingQueue::OnPastedTextRead).
  virtual bool OfferText(std::string_view utf8) = 0;
  // Keeps what the clipboard holds, in every format, until Restore puts it back.
  virtual bool Save() = 0;
  // Puts back what Save kept, unless another program has set the clipboard
  // since this one last did: that newer content stays.
  virtual bool Restore() = 0;
};

// A short sound, played without waiting for it to end.
struct Sounds {
  virtual ~Sounds() = default;
  virtual void Beep() = 0;
};

// scans.csv, opened for appending.
struct ScanLogFile : LogFile {
  virtual bool IsEmpty() = 0;  // also when it does not exist yet
};

}  // namespace torvane
