// The program's own decoder adapter (JobDecoderProcesses) under Wine, from a
// write on the decoder's standard output to the piece handed to the window's
// thread: a child of this executable ("pipe-writer") writes PIECES short
// pieces, 5 to 15 ms apart at random, each carrying the performance counter at
// its write; the window's thread notes the counter when the piece reaches it.
// Then the child writes MB megabytes as fast as the pipe takes them. The
// adapter keeps a copy of the output, as it does bar.dat. CPU time is this
// process's (reader thread, window thread) and the wineserver's.
#include <windows.h>

#include <filesystem>
#include <optional>
#include <random>
#include <string>

#include "clock.h"
#include "figures.h"
#include "linux_processes.h"
#include "harness.h"
#include "win32/decoders_win32.h"
#include "win32/text_win32.h"

namespace torvane::bench {
namespace {

using namespace std::chrono_literals;
constexpr UINT kQueuedWork = WM_APP + 1;

LRESULT CALLBACK QueueWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kQueuedWork) {
    reinterpret_cast<win32::UiThreadQueue*>(GetWindowLongPtrW(window, GWLP_USERDATA))->RunQueued();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool WriteAll(HANDLE out, std::string_view bytes) {
  DWORD done = 0;
  return WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) && done == bytes.size();
}

struct Received {
  std::vector<double> latenciesMs;
  std::uint64_t bytes = 0;
  std::size_t pieces = 0;
  std::size_t bulkPieces = 0;
  std::uint64_t bulkBytes = 0;
  bool exited = false;
  // When the first piece of the bulk arrived: the counter, this process's CPU time, the wineserver's.
  std::optional<std::int64_t> bulkStartMicros;
  double bulkStartCpu = 0, bulkStartServerCpu = 0;
};

// Runs the child writer through the adapter and pumps this thread's messages until it has ended.
bool RunWriter(const std::wstring& arguments, const std::filesystem::path& copy, Received& received) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = QueueWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"TorvaneBenchPipe";
  RegisterClassW(&windowClass);
  const HWND window = CreateWindowW(L"TorvaneBenchPipe", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  win32::UiThreadQueue queue(window, kQueuedWork);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&queue));
  bool ok = false;
  {
    win32::JobDecoderProcesses decoders(queue.Poster());
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    DecoderEvents events;
    std::string carried;
    events.output = [&](std::string_view bytes) {
      const std::int64_t now = NowMicros();
      if (!received.bulkStartMicros && bytes.find('x') != std::string_view::npos) {
        received.bulkStartMicros = now;
        received.bulkStartCpu = OwnCpuSeconds();
        const auto wineserver = OwnWineserver();
        received.bulkStartServerCpu = wineserver ? LinuxCpuSeconds(*wineserver).value_or(0) : 0;
      }
      ++received.pieces;
      received.bytes += bytes.size();
      if (received.bulkStartMicros) {
        ++received.bulkPieces;
        received.bulkBytes += bytes.size();
      }
      carried.append(bytes.substr(0, std::min<std::size_t>(bytes.size(), 4096)));
      for (std::size_t end; (end = carried.find('\n')) != std::string::npos; carried.erase(0, end + 1)) {
        if (carried[0] == 'T') received.latenciesMs.push_back((now - std::stoll(carried.substr(1, end - 1))) / 1000.0);
      }
      if (carried.size() > 64) carried.clear();
    };
    events.exited = [&](const DecoderExit&) { received.exited = true; };
    const LaunchPlan plan{win32::Narrow(self), "\"" + win32::Narrow(self) + "\" " + win32::Narrow(arguments), "",
                          win32::Narrow(copy.wstring())};
    if (decoders.Start(plan, std::move(events))) {
      const auto until = std::chrono::steady_clock::now() + 600s;
      MSG message{};
      while (!received.exited && std::chrono::steady_clock::now() < until) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      }
      ok = received.exited;
    }
  }
  DestroyWindow(window);
  return ok;
}

}  // namespace

int PipeWriter(const Arguments& args) {
  const long pieces = ArgumentOr(args, 0, 500), megabytes = ArgumentOr(args, 1, 64);
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  std::mt19937 random(9122026);
  std::uniform_int_distribution<int> spacing(5, 15);
  for (long i = 0; i < pieces; ++i) {
    Sleep(static_cast<DWORD>(spacing(random)));
    if (!WriteAll(out, "T" + std::to_string(NowMicros()) + "\r\n")) return 1;
  }
  Sleep(200);
  const std::string block(64 * 1024, 'x');
  for (long i = 0; i < megabytes * 16; ++i) {
    if (!WriteAll(out, block)) return 1;
  }
  return WriteAll(out, "T" + std::to_string(NowMicros()) + "\r\n") ? 0 : 1;
}

int PipeFigures(Results& results, const Arguments& args) {
  const long pieces = ArgumentOr(args, 0, 500), megabytes = ArgumentOr(args, 1, 64);
  const std::filesystem::path copy =
      e2e::TempFolder() / (L"torvane-bench-pipe-" + std::to_wstring(GetCurrentProcessId()) + L".dat");
  const auto wineserver = OwnWineserver();
  Received received;
  const bool ok =
      RunWriter(L"pipe-writer " + std::to_wstring(pieces) + L" " + std::to_wstring(megabytes), copy, received);
  const std::int64_t ended = NowMicros();
  const double cpuAtEnd = OwnCpuSeconds();
  const double serverAtEnd = wineserver ? LinuxCpuSeconds(*wineserver).value_or(0) : 0;
  std::error_code error;
  const auto copied = std::filesystem::file_size(copy, error);
  std::filesystem::remove(copy, error);
  std::vector<double> spaced(received.latenciesMs.begin(),
                             received.latenciesMs.begin() +
                                 static_cast<std::ptrdiff_t>(std::min<std::size_t>(received.latenciesMs.size(), pieces)));
  results.Put("pipe.ran", ok ? "yes" : "no");
  results.Put("pipe.spaced_pieces", pieces);
  results.Put("pipe.spaced_received", spaced.size());
  results.Put("pipe.median_ms", Median(spaced));
  results.Put("pipe.p95_ms", Percentile(spaced, 95));
  results.Put("pipe.max_ms", Max(spaced));
  results.Put("pipe.bulk_mb", megabytes);
  results.Put("pipe.bytes_received", received.bytes);
  results.Put("pipe.bytes_copied", static_cast<std::uint64_t>(error ? 0 : copied));
  results.Put("pipe.pieces_received", received.pieces);
  if (received.bulkStartMicros) {
    const double seconds = static_cast<double>(ended - *received.bulkStartMicros) / 1e6;
    const double mb = static_cast<double>(std::max<long>(megabytes, 1));
    results.Put("pipe.bulk_seconds", seconds);
    results.Put("pipe.bulk_mb_per_s", mb / seconds);
    results.Put("pipe.bulk_cpu_us_per_mb", (cpuAtEnd - received.bulkStartCpu) * 1e6 / mb);
    if (wineserver) results.Put("pipe.bulk_wineserver_us_per_mb", (serverAtEnd - received.bulkStartServerCpu) * 1e6 / mb);
    results.Put("pipe.bulk_mean_piece_kb", static_cast<double>(received.bulkBytes) / 1024 /
                                                  static_cast<double>(std::max<std::size_t>(received.bulkPieces, 1)));
  }
  return ok ? 0 : 1;
}

}  // namespace torvane::bench
