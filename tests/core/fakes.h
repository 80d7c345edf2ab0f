// Recording fakes of the program's ports. Each call that changes something
// is written to one shared journal so that tests can check the order of steps.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/ports.h"
#include "core/program.h"
#include "iconv_encoder.h"

namespace torvane::testing {

using Journal = std::vector<std::string>;

// The main window: what it shows and holds, as plain fields.
class FakeWindow final : public MainWindowPorts {
 public:
  explicit FakeWindow(Journal& journal) : journal_(journal) {
    for (const TimerSpec& t : AllTimers()) timers[t.id] = t.onAtCreation;
  }

  // WindowFrame
  void Show(bool v) override {
    windowVisible = v;
    journal_.push_back(v ? "window shown" : "window hidden");
  }
  bool Shown() const override { return windowVisible; }
  void BringBack() override {
    windowVisible = true;
    journal_.push_back("window restored");
  }
  void FitToPicture() override {
    if (throwOnFit) throw std::runtime_error("size");
    fitted = true;
    journal_.push_back("size");
  }
  bool MakeSeeThrough() override {
    seeThrough = true;
    journal_.push_back("see-through");
    return true;
  }
  void SetTitle(std::string_view utf8) override { title = std::string(utf8); }
  void SetTopmost(bool t) override {
    topmost = t;
    journal_.push_back(t ? "topmost" : "not topmost");
  }
  void OpenPanel(Panel panel) override { open[panel] = true; }
  void ClosePanel(Panel panel) override { open[panel] = false; }
  bool PanelOpen(Panel panel) const override { return open.contains(panel) && open.at(panel); }
  void PostDeferredStart() override {
    if (throwOnDeferredStart) throw std::runtime_error("post");
    ++deferredStarts;
  }
  void LetPendingEventsRun() override {
    journal_.push_back("pending events");
    if (pendingEvents) std::exchange(pendingEvents, nullptr)();
  }
  void EndProgram() override {
    ended = true;
    journal_.push_back("end");
  }

  // StatusDisplay
  void ShowModuleStatus(ModuleStatus status) override { moduleStatus = status; }
  void EnableRestart(bool e) override { restartEnabled = e; }
  bool RestartEnabled() const override { return restartEnabled; }
  void ShowScanning(bool s) override { scanning = s; }
  void ShowSuccess() override { successShown = true; }

  // OptionControls
  int Check(Option option) const override { return checks.contains(option) ? checks.at(option) : 0; }
  void SetCheck(Option option, int state) override { checks[option] = state; }
  std::optional<Suffix> SelectedSuffix() const override { return suffix; }
  void SelectSuffix(std::optional<Suffix> s) override { suffix = s; }
  int Selected(Suffix s) const { return suffix == s ? 1 : 0; }

  // ScannerOptionsPage
  void ShowScannerOptions(const ScannerOptions& options, const std::vector<std::string>& cameras) override {
    pageShows = options;
    pageCameras = cameras;
  }
  ScannerOptionsInput ScannerOptionsShown() const override { return pageInput; }

  // HistoryList
  void Add(std::string_view utf8) override {
    history.insert(history.begin(), std::string(utf8));
    journal_.push_back("list " + std::string(utf8));
  }
  std::optional<std::string> Selected() const override { return selected; }

  // Timers
  void Set(TimerId id, bool on) override {
    if (throwOnTimer) throw std::runtime_error("timer");
    timers[id] = on;
  }
  bool On(TimerId id) const override { return timers.at(id); }

  std::vector<std::string> history;  // newest first
  std::optional<std::string> selected;
  std::map<Option, int> checks;
  std::optional<Suffix> suffix = Suffix::None;  // 无 is selected when the window is made
  std::map<Panel, bool> open;
  std::map<TimerId, bool> timers;
  std::optional<ModuleStatus> moduleStatus;  // nullopt: the status line still reads "-"
  bool restartEnabled = true, scanning = true, successShown = false;
  bool windowVisible = false, topmost = false, ended = false, fitted = false, seeThrough = false;
  std::string title;
  std::optional<ScannerOptions> pageShows;
  std::vector<std::string> pageCameras;
  ScannerOptionsInput pageInput;  // as the user left the second page
  int deferredStarts = 0;
  std::function<void()> pendingEvents;  // runs once, as an event that was waiting
  bool throwOnFit = false, throwOnTimer = false, throwOnDeferredStart = false;

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

class FakeCameras final : public CameraList {
 public:
  std::vector<std::string> Names() override { return names; }
  std::vector<std::string> names;
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
  bool Save() override {
    journal_.push_back("clipboard saved");
    saved = text;
    return true;
  }
  void Restore() override {
    journal_.push_back("clipboard restored");
    text = saved;
  }
  std::optional<std::string> text, saved;
  bool held = false;
  int sets = 0;

 private:
  Journal& journal_;
};

class FakeSounds final : public Sounds {
 public:
  explicit FakeSounds(Journal& journal) : journal_(journal) {}
  void Beep() override { journal_.push_back("beep"); }

 private:
  Journal& journal_;
};

class FakeScanLog final : public ScanLogFile {
 public:
  bool Append(std::string_view bytes) override {
    if (locked) return false;
    contents += bytes;
    return true;
  }
  bool IsEmpty() override { return contents.empty(); }
  std::string contents;
  bool locked = false;
};

// Latin letters on their own keys, capitals with Shift; nothing else.
class FakeLayout final : public KeyboardLayout {
 public:
  std::optional<KeyStroke> KeyFor(char32_t c) override {
    if (c >= U'a' && c <= U'z') return KeyStroke{static_cast<std::uint16_t>('A' + (c - U'a'))};
    if (c >= U'A' && c <= U'Z') return KeyStroke{static_cast<std::uint16_t>(c), true};
    return std::nullopt;
  }
};

// The whole program, wired to the fakes. The decoder output files, the ANSI
// code page and the character sets can be swapped for other fakes.
template <typename OutputFile = FakeFile, typename Ansi = FakeAnsi, typename Charsets = IconvCharsetEncoder>
struct BasicRig {
  Journal journal;
  FakeWindow window{journal};
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
  Ansi ansi;
  FakeLog log;
  FakeKeyboard keyboard{journal};
  FakeClipboard clipboard{journal};
  Charsets charsets;
  FakeLayout layout;
  FakeSounds sounds{journal};
  FakeScanLog scanLog;
  Program program{Platform{.window = window,
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
                           .ansi = ansi,
                           .log = log,
                           .keyboard = keyboard,
                           .layout = layout,
                           .clipboard = clipboard,
                           .charsets = charsets,
                           .sounds = sounds,
                           .scanLog = scanLog}};

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
