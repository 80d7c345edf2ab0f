// Stand-in for ZBar's zbarcam.exe. Instead of a camera it reads zbarcam.feed in
// its own folder, where a test appends lines:
//   sym <NAME> <HEX>   queue a symbol for the next frame
//   frame              print the queued symbols (text mode, one flush), log "frame <us> <us>"
//                      (the counter before the write and after it)
//   raw <HEX>          print bytes untranslated, flush
//   flood <N> <HEX>    print the bytes over and over, untranslated, N bytes in all in
//                      64 KB writes (a decoder gone wrong), then log "flooded <us>"
//   err <HEX>          print bytes to stderr untranslated, flush
//   window             open the video window now (if not open yet); it logs "window <us>" when it opens
//   hang <MS>          log "hang", then stop answering for MS milliseconds (its window too)
//   exit <N>           end with code N
// A symbol line may end in the modifiers GS1 and/or AIM, which ZBar 0.23's XML shows.
// zbarcam.cfg (key=value): camera=none fails like a machine without a camera;
// window_delay_ms=N delays the video window (default 200); version=V is what
// --version prints and picks the XML form, 0.10 or a later one (default 0.23);
// xml=unknown makes --xml an unknown option, as to a zbarcam without it.
// -S settings turn code types off or hold them to a length (zbar_config.h), and
// one this version's ZBar does not know ends it with code 1, as zbarcam does.
// Like zbarcam it takes the camera named by its argument (default the first,
// /dev/video0; "N" and "\dev\videoN" name the same) for itself: a second one
// started on a camera in use reports an error and ends with code 1.
// As zbarcam does, it rings a BEL on stderr for each frame with symbols unless
// -q, and with --xml writes stdout in binary mode: the header once its video
// window is open (the feed is read from then on), a frame per "frame" line that
// holds symbols, numbered by the frames before it, and the closing tags when
// its window is closed.
#include "standin_common.h"
#include "zbarcam_options.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

constexpr wchar_t kWindowClass[] = L"_ZBar Class";
constexpr wchar_t kWindowTitle[] = L"ZBar";
constexpr UINT kFeedPollMs = 10;
constexpr int kVideoWidth = 320;
constexpr int kVideoHeight = 240;

struct CameraSettings {
  bool has_camera = true;
  UINT window_delay_ms = 200;
  std::string version = "0.23";
  bool knows_xml = true;
};

CameraSettings read_settings() {
  CameraSettings settings;
  const auto text = standins::read_file_from(standins::in_own_folder(L"zbarcam.cfg"), 0);
  if (!text) return settings;
  for (const std::string_view line : standins::split_lines(*text)) {
    const auto key_value = standins::split_key_value(line);
    if (!key_value) continue;
    const auto [key, value] = *key_value;
    if (key == "camera") settings.has_camera = value != "none";
    if (key == "version") settings.version = std::string(value);
    if (key == "xml") settings.knows_xml = value != "unknown";
    if (key == "window_delay_ms") {
      if (const auto delay = standins::parse_number(value)) settings.window_delay_ms = static_cast<UINT>(*delay);
    }
  }
  return settings;
}

class Feed {
 public:
  Feed(std::wstring feed_path, std::wstring log_path, standins::Output& output)
      : feed_path_(std::move(feed_path)), log_path_(std::move(log_path)), output_(output) {}

  std::function<void()> open_window;  // opens the video window, once

  // Runs every complete line appended since the last call; a partial last line waits.
  void poll() {
    if (output_.xml && !output_.header_written) return;
    const auto fresh = standins::read_file_from(feed_path_, consumed_);
    if (!fresh) return;
    const auto last_newline = fresh->rfind('\n');
    if (last_newline == std::string::npos) return;
    consumed_ += last_newline + 1;
    for (const std::string_view line : standins::split_lines(std::string_view(*fresh).substr(0, last_newline))) {
      run(line);
    }
  }

 private:
  void run(std::string_view line) {
    const auto [keyword, rest] = standins::split_keyword(line);
    if (keyword == "sym") {
      queue_symbol(rest);
    } else if (keyword == "frame") {
      emit_frame();
    } else if (keyword == "raw") {
      emit_raw(rest);
    } else if (keyword == "flood") {
      flood(rest);
    } else if (keyword == "err") {
      emit_error(rest);
    } else if (keyword == "window") {
      if (open_window) open_window();
    } else if (keyword == "hang") {
      standins::append_to_file(log_path_, "hang\n");
      Sleep(static_cast<DWORD>(standins::parse_number(rest).value_or(0)));
    } else if (keyword == "exit") {
      std::fflush(stdout);
      std::exit(static_cast<int>(standins::parse_number(rest).value_or(0)));
    } else if (!standins::trim(line).empty()) {
      complain(line);
    }
  }

  void queue_symbol(std::string_view name_and_hex) {
    if (auto symbol = standins::parse_symbol(name_and_hex)) {
      // A code of a type the settings turn off is never decoded, as if not in view.
      if (output_.config.decodes(symbol->name, symbol->data)) queued_.push_back(std::move(*symbol));
    } else {
      complain(name_and_hex);
    }
  }

  void emit_frame() {
    // Latency is timed from the start of the write: a reader under load can
    // take the frame before the write has returned to this process.
    const std::uint64_t writing = standins::microseconds_now();
    if (!output_.xml) {
      standins::write_symbols(queued_);
    } else if (!queued_.empty()) {
      standins::write_raw(standins::xml_frame(output_.form, output_.frames, queued_));
    }
    ++output_.frames;
    if (!queued_.empty() && !output_.quiet) {
      std::fputs("\a", stderr);
      std::fflush(stderr);
    }
    queued_.clear();
    standins::append_to_file(log_path_, "frame " + std::to_string(writing) + " " +
                                            std::to_string(standins::microseconds_now()) + "\n");
  }

  void emit_raw(std::string_view hex) {
    if (const auto bytes = standins::decode_hex(hex)) {
      standins::write_raw(*bytes);
    } else {
      complain(hex);
    }
  }

  void flood(std::string_view count_and_hex) {
    const auto [count, hex] = standins::split_keyword(count_and_hex);
    const auto total = standins::parse_number(count);
    const auto pattern = standins::decode_hex(hex);
    if (!total || !pattern || pattern->empty()) return complain(count_and_hex);
    std::string piece;
    while (piece.size() < 64 * 1024) piece += *pattern;
    piece.resize(64 * 1024);
    for (unsigned long written = 0; written < *total; written += static_cast<unsigned long>(piece.size())) {
      standins::write_raw(std::string_view(piece).substr(0, std::min<std::size_t>(piece.size(), *total - written)));
    }
    standins::append_to_file(log_path_, "flooded " + std::to_string(standins::microseconds_now()) + "\n");
  }

  void emit_error(std::string_view hex) {
    if (const auto bytes = standins::decode_hex(hex)) {
      standins::write_raw_error(*bytes);
    } else {
      complain(hex);
    }
  }

  static void complain(std::string_view line) {
    std::fprintf(stderr, "zbarcam stand-in: ignored feed line: %.*s\n", static_cast<int>(line.size()), line.data());
    std::fflush(stderr);
  }

  std::wstring feed_path_;
  std::wstring log_path_;
  standins::Output& output_;
  std::uint64_t consumed_ = 0;
  std::vector<standins::Symbol> queued_;
};

LRESULT CALLBACK video_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CHAR:
      if (wparam == L'q' || wparam == L'Q') {
        DestroyWindow(window);
        return 0;
      }
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

void open_video_window() {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = video_window_proc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  window_class.lpszClassName = kWindowClass;
  RegisterClassExW(&window_class);

  RECT frame{0, 0, kVideoWidth, kVideoHeight};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  const HWND window = CreateWindowExW(0, kWindowClass, kWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                      frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                      window_class.hInstance, nullptr);
  // ZBar shows its window with SW_SHOWNORMAL. Windows takes the first show of a
  // program's main window from what its starter asked (STARTUPINFO), so the
  // window of a zbarcam started hidden stays hidden and takes no focus. Wine 8
  // leaves that rule out and shows and activates it: the stand-in keeps the
  // rule itself, to act as ZBar does on Windows.
  STARTUPINFOW startup{};
  GetStartupInfoW(&startup);
  ShowWindow(window, (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWNORMAL);
  UpdateWindow(window);
}

// One lock per camera, named after the device the arguments choose.
std::wstring camera_lock_name(int argc, const wchar_t* const* argv) {
  std::wstring device = standins::device_argument(argc, argv);
  if (device.empty()) device = L"0";
  for (const std::wstring_view prefix : {L"/dev/video", L"\\dev\\video"})
    if (device.starts_with(prefix)) device.erase(0, prefix.size());
  for (wchar_t& c : device)
    if (c == L'\\') c = L'/';
  return L"Local\\zbarcam-stand-in-camera-" + device;
}

// Thread timers (no window) drive the feed, so it is read before the window exists too.
int run_until_closed(Feed& feed, standins::Output& output, UINT window_delay_ms, const std::wstring& log_path) {
  const UINT_PTR feed_timer = SetTimer(nullptr, 0, kFeedPollMs, nullptr);
  UINT_PTR window_timer = SetTimer(nullptr, 0, window_delay_ms, nullptr);
  feed.open_window = [&] {
    if (window_timer == 0) return;
    KillTimer(nullptr, window_timer);
    window_timer = 0;
    open_video_window();
    standins::append_to_file(log_path, "window " + std::to_string(standins::microseconds_now()) + "\n");
    if (output.xml) {
      standins::write_raw(standins::xml_header(output.device));
      output.header_written = true;
    }
  };
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.hwnd == nullptr && message.message == WM_TIMER) {
      if (message.wParam == feed_timer) feed.poll();
      if (message.wParam == window_timer) feed.open_window();
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (output.header_written) standins::write_raw(standins::kXmlFooter);
  std::fflush(stdout);
  return static_cast<int>(message.wParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring log_path = standins::in_own_folder(L"zbarcam.log");
  standins::log_start(log_path, standins::utf8_args(argc, argv));

  const CameraSettings settings = read_settings();
  standins::Output output;
  if (const std::optional<int> ended = standins::read_options(argc, argv, settings.version, settings.knows_xml, output))
    return *ended;
  if (!settings.has_camera) {
    std::fputs("ERROR: zbar processor in _zbar_video_open():\n    system error: no camera found\n", stderr);
    return 1;
  }
  // Held until the process ends; the system lets go of it then, however it ends.
  const HANDLE camera = CreateMutexW(nullptr, FALSE, camera_lock_name(argc, argv).c_str());
  const DWORD taken = camera ? WaitForSingleObject(camera, 0) : WAIT_FAILED;
  if (taken != WAIT_OBJECT_0 && taken != WAIT_ABANDONED) {
    std::fputs("ERROR: zbar processor in _zbar_video_open():\n    system error: the camera is in use\n", stderr);
    return 1;
  }
  Feed feed(standins::in_own_folder(L"zbarcam.feed"), log_path, output);
  return run_until_closed(feed, output, settings.window_delay_ms, log_path);
}
