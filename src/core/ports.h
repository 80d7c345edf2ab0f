// The side effects the controller asks for, one small interface each. The
// Win32 edition implements them in src/win32 and src/app; the tests fake them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/key_plan.h"
#include "core/layout.h"
#include "core/pending_log.h"
#include "core/line_follower.h"
#include "core/text_decoding.h"

namespace torvane {

// The main window and its controls, addressed by control id.
struct Form {
  virtual ~Form() = default;
  virtual void SetText(ControlId id, std::string_view utf8) = 0;
  virtual std::string Text(ControlId id) const = 0;
  virtual void SetVisible(ControlId id, bool visible) = 0;
  virtual bool Visible(ControlId id) const = 0;
  virtual void SetEnabled(ControlId id, bool enabled) = 0;
  virtual bool Enabled(ControlId id) const = 0;
  // Check box: 0, 1 or 2 (greyed). Option button: 0 or 1. Setting one option
  // button touches that button alone; the group rule lives in the core.
  virtual int Value(ControlId id) const = 0;
  virtual void SetValue(ControlId id, int value) = 0;
  virtual void Move(ControlId id, int left, int top) = 0;

  virtual void InsertHistory(std::string_view utf8) = 0;  // at position 0
  virtual std::optional<std::string> SelectedHistory() const = 0;

  virtual void SetTimer(TimerId id, bool on) = 0;
  virtual bool TimerOn(TimerId id) const = 0;

  virtual void ShowWindow(bool visible) = 0;
  virtual bool WindowVisible() const = 0;
  virtual void RestoreWindow() = 0;  // restored, visible, with the keyboard focus
  virtual void SetWindowSize(int width, int height) = 0;
  virtual bool MakeSeeThrough(Rgb key) = 0;  // layered, colour-keyed, no overall alpha
  virtual void SetTopmost(bool topmost) = 0;
  virtual void ProcessPendingEvents() = 0;
  virtual void EndProgram() = 0;  // at once: no further event runs
};

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
  // Ends the process and waits a moment for it to be gone.
  virtual bool Terminate(std::uint32_t pid) = 0;
};

// A top-level window of another program, as a number (a handle on Windows).
using WindowId = std::uintptr_t;

// Top-level windows of other programs, found again each time they are needed.
struct DesktopWindows {
  virtual ~DesktopWindows() = default;
  // A top-level window titled exactly `title` that belongs to one of the processes.
  virtual std::optional<WindowId> FindOwnedBy(std::string_view title, std::span<const std::uint32_t> processIds) = 0;
  virtual void RemoveCloseItem(WindowId window) = 0;
  // Never waits for the window's program, which may hang.
  virtual void PlaceTopmost(WindowId window, bool show) = 0;
};

// A program started hidden and never waited for.
struct LaunchPlan {
  std::string program;      // full path of the executable
  std::string commandLine;  // full command line, program included, quoted
  std::string workingDir;
  std::string stdoutFile;   // created anew, readable while it grows; empty: none
  friend bool operator==(const LaunchPlan&, const LaunchPlan&) = default;
};

struct ProcessLauncher {
  virtual ~ProcessLauncher() = default;
  virtual std::optional<std::uint32_t> Launch(const LaunchPlan& plan) = 0;
  // Whether the process started by Launch is still running.
  virtual bool StillRunning(std::uint32_t pid) = 0;
};

// Files of the program folder, by bare name, and how to name other files to
// the decoders started there.
struct ProgramFolder {
  virtual ~ProgramFolder() = default;
  virtual std::string Path() const = 0;        // as the platform reports it
  virtual std::string ExecutableName() const = 0;  // e.g. "Torvane.exe"
  virtual bool Delete(std::string_view name) = 0;  // true when absent afterwards
  // Copies the file at `path` into the folder as `name`, replacing any file of that name.
  virtual bool CopyIn(std::string_view path, std::string_view name) = 0;
  // The short (8.3) form of a file's path (the long one where the volume keeps
  // no short names); nullopt when the file cannot be found.
  virtual std::optional<std::string> ShortPath(std::string_view path) = 0;
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

struct TrayIcon {
  virtual ~TrayIcon() = default;
  virtual bool Add() = 0;
  virtual void Remove() = 0;
};

struct MessageBoxes {
  virtual ~MessageBoxes() = default;
  virtual void ShowOk(std::string_view text, std::string_view caption) = 0;  // modal
};

// Keys typed into whichever window has the keyboard focus, all in one go so
// that nothing the user types lands in the middle.
struct Keyboard {
  virtual ~Keyboard() = default;
  virtual bool Inject(std::span<const KeyEvent> keys) = 0;
};

struct Clipboard {
  virtual ~Clipboard() = default;
  // Clears the clipboard, then sets it to the text; false when it could not.
  virtual bool SetText(std::string_view utf8) = 0;
};

}  // namespace torvane
