// Recording fakes of the controller's ports. Each call that changes something
// is written to one shared journal so that tests can check the order of steps.
#pragma once

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/controller.h"
#include "core/layout.h"
#include "core/ports.h"
#include "iconv_encoder.h"

namespace torvane::testing {

using Journal = std::vector<std::string>;

class FakeForm final : public Form {
 public:
  explicit FakeForm(Journal& journal) : journal_(journal) {
    for (const ControlSpec& c : Controls()) {
      text[c.id] = std::string(c.text);
      visible[c.id] = c.visible;
      enabled[c.id] = true;
      value[c.id] = c.checked ? 1 : 0;
    }
    for (const TimerSpec& t : Timers()) timers[t.id] = t.onAtCreation;
  }

  void SetText(ControlId id, std::string_view utf8) override { text[id] = std::string(utf8); }
  std::string Text(ControlId id) const override { return text.at(id); }
  void SetVisible(ControlId id, bool v) override {
    visible[id] = v;
    journal_.push_back(std::string(v ? "show " : "hide ") + std::string(Control(id).name));
  }
  bool Visible(ControlId id) const override { return visible.at(id); }
  void SetEnabled(ControlId id, bool e) override { enabled[id] = e; }
  bool Enabled(ControlId id) const override { return enabled.at(id); }
  int Value(ControlId id) const override { return value.at(id); }
  void SetValue(ControlId id, int v) override { value[id] = v; }
  void Move(ControlId id, int left, int top) override { position[id] = {left, top}; }
  void InsertHistory(std::string_view utf8) override {
    history.insert(history.begin(), std::string(utf8));
    journal_.push_back("list " + std::string(utf8));
  }
  std::optional<std::string> SelectedHistory() const override { return selected; }
  void SetTimer(TimerId id, bool on) override {
    if (throwOnTimer) throw std::runtime_error("timer");
    timers[id] = on;
  }
  bool TimerOn(TimerId id) const override { return timers.at(id); }
  void ShowWindow(bool v) override {
    windowVisible = v;
    journal_.push_back(v ? "window shown" : "window hidden");
  }
  bool WindowVisible() const override { return windowVisible; }
  void RestoreWindow() override {
    windowVisible = true;
    journal_.push_back("window restored");
  }
  void SetWindowSize(int w, int h) override {
    if (throwOnSize) throw std::runtime_error("size");
    size = {w, h};
    journal_.push_back("size");
  }
  bool MakeSeeThrough(Rgb key) override {
    seeThroughKey = key;
    journal_.push_back("see-through");
    return true;
  }
  void SetTopmost(bool t) override {
    topmost = t;
    journal_.push_back(t ? "topmost" : "not topmost");
  }
  void ProcessPendingEvents() override { journal_.push_back("pending events"); }
  void EndProgram() override {
    ended = true;
    journal_.push_back("end");
  }

  std::map<ControlId, std::string> text;
  std::map<ControlId, bool> visible, enabled;
  std::map<ControlId, int> value;
  std::map<ControlId, std::pair<int, int>> position;
  std::map<TimerId, bool> timers;
  std::vector<std::string> history;  // newest first
  std::optional<std::string> selected;
  bool windowVisible = false, topmost = false, ended = false;
  bool throwOnSize = false, throwOnTimer = false;
  std::pair<int, int> size{0, 0};
  std::optional<Rgb> seeThroughKey;

 private:
  Journal& journal_;
};

class FakeProcesses final : public ProcessTable {
 public:
  explicit FakeProcesses(Journal& journal) : journal_(journal) {}
  std::optional<std::vector<ProcessInfo>> Snapshot() override {
    ++snapshots;
    if (unreadable) return std::nullopt;
    return list;
  }
  std::optional<std::string> ImagePath(std::uint32_t pid) override {
    const auto it = paths.find(pid);
    if (it == paths.end()) return std::nullopt;
    return it->second;
  }
  bool Terminate(std::uint32_t pid) override {
    journal_.push_back("terminate " + std::to_string(pid));
    std::erase_if(list, [&](const ProcessInfo& p) { return p.pid == pid; });
    return true;
  }
  void Add(std::uint32_t pid, std::string name, std::string path = "") {
    list.push_back({pid, std::move(name)});
    if (!path.empty()) paths[pid] = std::move(path);
  }

  std::vector<ProcessInfo> list;
  std::map<std::uint32_t, std::string> paths;
  bool unreadable = false;
  int snapshots = 0;

 private:
  Journal& journal_;
};

// Top-level windows by title and owning process; the journal names them by title.
class FakeDesktop final : public DesktopWindows {
 public:
  explicit FakeDesktop(Journal& journal) : journal_(journal) {}
  WindowId Open(std::string title, std::uint32_t pid) {
    windows.push_back({std::move(title), pid});
    return windows.size();
  }
  std::optional<WindowId> FindOwnedBy(std::string_view title, std::span<const std::uint32_t> processIds) override {
    for (std::size_t i = 0; i < windows.size(); ++i) {
      const bool owned = std::find(processIds.begin(), processIds.end(), windows[i].pid) != processIds.end();
      if (windows[i].title == title && owned) return i + 1;
    }
    return std::nullopt;
  }
  void RemoveCloseItem(WindowId window) override { journal_.push_back("remove close item " + TitleOf(window)); }
  void PlaceTopmost(WindowId window, bool show) override {
    journal_.push_back(std::string(show ? "place shown " : "place hidden ") + TitleOf(window));
  }

  struct Window {
    std::string title;
    std::uint32_t pid;
  };
  std::vector<Window> windows;

 private:
  std::string TitleOf(WindowId window) const { return windows.at(window - 1).title; }
  Journal& journal_;
};

class FakeLauncher final : public ProcessLauncher {
 public:
  explicit FakeLauncher(Journal& journal) : journal_(journal) {}
  std::optional<std::uint32_t> Launch(const LaunchPlan& plan) override {
    launched.push_back(plan);
    journal_.push_back("launch " + plan.program);
    if (fail) return std::nullopt;
    return nextPid++;
  }
  bool StillRunning(std::uint32_t pid) override { return running.contains(pid); }
  std::vector<LaunchPlan> launched;
  std::set<std::uint32_t> running;
  std::uint32_t nextPid = 500;
  bool fail = false;

 private:
  Journal& journal_;
};

class FakeFolder final : public ProgramFolder {
 public:
  explicit FakeFolder(Journal& journal, std::string path = "C:\\Scan") : journal_(journal), path_(std::move(path)) {}
  std::string Path() const override { return path_; }
  std::string ExecutableName() const override { return exe; }
  bool Delete(std::string_view name) override {
    journal_.push_back("delete " + std::string(name));
    return true;
  }
  bool CopyIn(std::string_view path, std::string_view name) override {
    journal_.push_back("copy " + std::string(path) + " to " + std::string(name));
    return copies;
  }
  std::optional<std::string> ShortPath(std::string_view path) override {
    const auto it = shortPaths.find(std::string(path));
    if (it == shortPaths.end()) return std::nullopt;
    return it->second;
  }
  std::string exe = "Torvane.exe";
  std::map<std::string, std::string> shortPaths;
  bool copies = true;

 private:
  Journal& journal_;
  std::string path_;
};

class FakeSettings final : public SettingsStore {
 public:
  std::optional<std::string> Read(std::string_view key) override {
    reads.push_back(std::string(key));
    const auto it = values.find(std::string(key));
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  bool Write(std::string_view key, std::string_view value) override {
    writes.emplace_back(std::string(key), std::string(value));
    if (failWrites) return false;
    values[std::string(key)] = std::string(value);
    return true;
  }
  std::map<std::string, std::string> values;
  std::vector<std::string> reads;
  std::vector<std::pair<std::string, std::string>> writes;
  bool failWrites = false;
};

class FakeStartup final : public StartupEntry {
 public:
  explicit FakeStartup(Journal& journal) : journal_(journal) {}
  std::optional<std::string> Read(std::string_view name) override {
    const auto it = values.find(std::string(name));
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  bool Write(std::string_view name, std::string_view data) override {
    journal_.push_back("run key write");
    if (denied) return false;
    values[std::string(name)] = std::string(data);
    return true;
  }
  bool Delete(std::string_view name) override {
    journal_.push_back("run key delete");
    if (denied) return false;
    values.erase(std::string(name));
    return true;
  }
  std::map<std::string, std::string> values;
  bool denied = false;

 private:
  Journal& journal_;
};

class FakeTray final : public TrayIcon {
 public:
  explicit FakeTray(Journal& journal) : journal_(journal) {}
  bool Add() override {
    present = true;
    journal_.push_back("icon added");
    return true;
  }
  void Remove() override {
    present = false;
    journal_.push_back("icon removed");
  }
  bool present = false;

 private:
  Journal& journal_;
};

class FakeBoxes final : public MessageBoxes {
 public:
  explicit FakeBoxes(Journal& journal) : journal_(journal) {}
  void ShowOk(std::string_view text, std::string_view caption) override {
    shown.emplace_back(std::string(text), std::string(caption));
    journal_.push_back("message box");
  }
  std::vector<std::pair<std::string, std::string>> shown;

 private:
  Journal& journal_;
};

// bar.dat as the decoder leaves it: bytes that only ever grow, or a missing file.
class FakeFile final : public RandomAccessFile {
 public:
  std::optional<FileStat> Stat() override {
    if (!exists) return std::nullopt;
    return FileStat{bytes.size(), stamp};
  }
  bool ReadAt(std::uint64_t offset, std::size_t n, std::string& out) override {
    ++reads;
    if (offset > bytes.size()) return false;
    out = bytes.substr(static_cast<size_t>(offset), n);
    return true;
  }
  void Append(std::string_view more) {
    exists = true;
    bytes += more;
    ++stamp;
  }
  std::string bytes;
  bool exists = false;
  std::uint64_t stamp = 1;
  int reads = 0;
};

// Code page 936 for the two GBK characters the tests use; anything else as Latin-1.
class FakeAnsi final : public AnsiDecoder {
 public:
  std::string ToUtf8(std::string_view bytes) override {
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (bytes.substr(i, 2) == "\xD6\xD0") {
        out += "中";
        ++i;
      } else if (bytes.substr(i, 2) == "\xCE\xC4") {
        out += "文";
        ++i;
      } else {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
          out += static_cast<char>(c);
        } else {
          out += static_cast<char>(0xC0 | (c >> 6));
          out += static_cast<char>(0x80 | (c & 0x3F));
        }
      }
    }
    return out;
  }
};

class FakeLog final : public LogFile {
 public:
  bool Append(std::string_view bytes) override {
    ++attempts;
    if (locked) return false;
    contents += bytes;
    return true;
  }
  std::string contents;
  bool locked = false;
  int attempts = 0;
};

class FakeKeyboard final : public Keyboard {
 public:
  explicit FakeKeyboard(Journal& journal) : journal_(journal) {}
  bool Inject(std::span<const KeyEvent> keys) override {
    injections.emplace_back(keys.begin(), keys.end());
    journal_.push_back("type");
    return true;
  }
  std::vector<std::vector<KeyEvent>> injections;

 private:
  Journal& journal_;
};

class FakeClipboard final : public Clipboard {
 public:
  explicit FakeClipboard(Journal& journal) : journal_(journal) {}
  bool SetText(std::string_view utf8) override {
    journal_.push_back("clipboard");
    if (held) return false;
    text = std::string(utf8);
    ++sets;
    return true;
  }
  std::optional<std::string> text;
  bool held = false;
  int sets = 0;

 private:
  Journal& journal_;
};

// Everything a controller needs, wired together.
struct Rig {
  Journal journal;
  FakeForm form{journal};
  FakeProcesses processes{journal};
  FakeDesktop desktop{journal};
  FakeLauncher launcher{journal};
  FakeFolder folder{journal};
  FakeSettings settings;
  FakeStartup startup{journal};
  FakeTray tray{journal};
  FakeBoxes boxes{journal};
  FakeFile barDat;
  FakeFile bar2Dat;
  FakeAnsi ansi;
  FakeLog log;
  FakeKeyboard keyboard{journal};
  FakeClipboard clipboard{journal};
  IconvCharsetEncoder charsets;
  Controller controller{Ports{form, processes, desktop, launcher, folder, settings, startup, tray, boxes, barDat, bar2Dat, ansi,
                              log, keyboard, clipboard, charsets}};

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

// A rig whose camera decoder this run has launched: bar.dat is read from here on.
struct CameraRig : Rig {
  CameraRig() {
    controller.LaunchRecognitionModule();
    journal.clear();
  }
};

}  // namespace torvane::testing
