// The process adapters against real processes: the stand-in camera decoder
// started from hostile folders, its video window reported and placed.
#include <algorithm>
#include "core/launch.h"
#include "win32/decoders_win32.h"
#include "win32/charset_encoder_win32.h"
#include "win32_test_support.h"

namespace torvane::testing {
namespace {

using namespace std::chrono_literals;
using win32::Narrow;
using win32::Widen;

// The camera decoder of `folder`, started as the program starts it.
struct Camera {
  explicit Camera(const ScratchFolder& folder, DecoderEvents events = {}) : decoders(window.Poster()) {
    win32::ModuleFolder programFolder(Narrow(folder / L"Torvane.exe"), {});
    pid = decoders.Start(CameraLaunchPlan(programFolder.Path()), std::move(events));
  }
  EventWindow window;
  win32::JobDecoderProcesses decoders;
  std::optional<std::uint32_t> pid;
};

class CameraLaunch : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(CameraLaunch, StartsTheStandInFromTheFolderWithACopyOfItsOutputInANewBarDat) {
  ScratchFolder folder(GetParam());
  CopyStandIn(folder, L"zbarcam.exe", L"zbarcam.exe");
  CreateDirectoryW((folder / L"sub").c_str(), nullptr);
  ASSERT_TRUE(WriteFileBytes(folder / L"sub\\bar.dat", "keep me"));
  ASSERT_TRUE(WriteFileBytes(folder / L"bar.dat", "stale line\r\n"));

  Camera camera(folder);
  const auto pid = camera.pid;
  ASSERT_TRUE(pid.has_value());
  ASSERT_TRUE(AppendShared(folder / L"zbarcam.feed", "sym QR-Code " + Hex("4902") + "\nframe\n"));
  EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(folder / L"bar.dat") == "QR-Code:4902\r\n"; }, 5s))
      << "bar.dat holds: " << ReadFileBytes(folder / L"bar.dat");

  const std::string log = ReadFileBytes(folder / L"zbarcam.log");
  EXPECT_NE(log.find("argc 0\n"), std::string::npos) << log;
  EXPECT_NE(log.find("cwd " + Narrow(folder.path())), std::string::npos) << log;
  EXPECT_EQ(ReadFileBytes(folder / L"sub\\bar.dat"), "keep me");

  // Nothing but the decoder's own files appeared in the folder.
  std::vector<std::string> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder / L"*").c_str(), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.push_back(Narrow(name));
  } while (FindNextFileW(find, &data));
  FindClose(find);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"bar.dat", "sub", "zbarcam.exe", "zbarcam.feed", "zbarcam.log"}));
}

INSTANTIATE_TEST_SUITE_P(HostileFolders, CameraLaunch,
                         ::testing::Values(L"plain", L"with space", L"a&calc", L"100%PATH%", L"caret^x", L"bang!x",
                                           L"(parens)", L"扫码 工具"));

TEST(VideoWindow, OnlyTheDecodersOwnIsReportedAndPlacingItNeverWaitsForTheDecoder) {
  // A window of this program titled like the decoder's, as Explorer's on a folder named ZBar.
  const HWND lookalike = CreateWindowExW(0, L"Static", L"ZBar", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                         nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(lookalike, nullptr);
  ScratchFolder folder(L"video");
  CopyStandIn(folder, L"zbarcam.exe", L"zbarcam.exe");
  std::vector<std::pair<WindowId, std::string>> reported;
  DecoderEvents events;
  events.windowShown = [&](WindowId window, std::string_view title) { reported.emplace_back(window, title); };
  Camera camera(folder, std::move(events));
  ASSERT_TRUE(camera.pid.has_value());
  win32::TopLevelWindows desktop;
  const auto isVideo = [](const auto& window) { return window.second == "ZBar"; };
  ASSERT_TRUE(camera.window.RunUntil([&] { return std::any_of(reported.begin(), reported.end(), isVideo); }, 10s));
  const WindowId found = std::find_if(reported.begin(), reported.end(), isVideo)->first;
  const HWND video = reinterpret_cast<HWND>(found);
  EXPECT_NE(video, lookalike);
  DWORD owner = 0;
  GetWindowThreadProcessId(video, &owner);
  EXPECT_EQ(owner, *camera.pid);
  // Started hidden: its first show (SW_SHOWNORMAL, as ZBar's) keeps it hidden, as Windows does.
  EXPECT_FALSE(WaitUntil([&] { return IsWindowVisible(video) != FALSE; }, 500ms)) << "shown by the decoder";

  desktop.PlaceTopmost(found, true);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(video) && (GetWindowLongW(video, GWL_EXSTYLE) & WS_EX_TOPMOST); },
                        5s));

  // The decoder stops answering: placing its window returns at once all the same.
  ASSERT_TRUE(AppendShared(folder / L"zbarcam.feed", "hang 4000\n"));
  ASSERT_TRUE(WaitUntil([&] { return ReadFileBytes(folder / L"zbarcam.log").ends_with("hang\n"); }, 5s));
  const ULONGLONG before = GetTickCount64();
  desktop.PlaceTopmost(found, false);
  EXPECT_LT(GetTickCount64() - before, 1000u) << "waited for the hung decoder";
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(video); }, 10s)) << "placed once the decoder answers again";

  // Wine keeps menus inside their own process: GetSystemMenu of another
  // process's window answers null there, so only Windows can show the removal.
  HMENU menu = GetSystemMenu(video, FALSE);
  desktop.RemoveCloseItem(found);
  desktop.RemoveCloseItem(found);  // already gone: nothing changes
  EXPECT_NE(GetMenuState(GetSystemMenu(lookalike, FALSE), SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
  DestroyWindow(lookalike);
  if (!menu) GTEST_SKIP() << "this system does not expose another process's system menu";
  EXPECT_EQ(GetMenuState(GetSystemMenu(video, FALSE), SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
}

// A decoder gone wrong writes far faster than the window's thread, busy
// elsewhere, handles its output: the adapter reads only a little ahead (what
// it has read is in the copy), the decoder waits on its full pipe, and once
// the window's thread handles its events every byte arrives, in order.
TEST(CameraOutput, OutputTheWindowHasNotHandledHoldsTheReadingBack) {
  ScratchFolder folder(L"flood");
  CopyStandIn(folder, L"zbarcam.exe", L"zbarcam.exe");
  std::uint64_t arrived = 0;
  bool inOrder = true;
  DecoderEvents events;
  events.output = [&](std::string_view bytes) {
    for (const char c : bytes) {
      if (c != "0123456789abcdef"[arrived % 16]) inOrder = false;
      ++arrived;
    }
  };
  Camera camera(folder, std::move(events));
  ASSERT_TRUE(camera.pid.has_value());
  constexpr std::uint64_t kFlood = 64ull << 20;
  ASSERT_TRUE(AppendShared(folder / L"zbarcam.feed", "flood " + std::to_string(kFlood) + " " + Hex("0123456789abcdef") + "\n"));
  const auto copied = [&] {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW((folder / L"bar.dat").c_str(), GetFileExInfoStandard, &data)) return std::uint64_t{0};
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  };
  // The window's thread handles nothing meanwhile.
  EXPECT_TRUE(WaitUntil([&] { return copied() > 0; }, 10s)) << "the decoder wrote nothing";
  EXPECT_FALSE(WaitUntil([&] { return copied() > (1u << 20); }, 3s)) << copied() << " bytes read ahead";
  EXPECT_TRUE(camera.window.RunUntil([&] { return arrived >= kFlood; }, 120s)) << arrived << " bytes arrived";
  EXPECT_EQ(arrived, kFlood);
  EXPECT_TRUE(inOrder);
  EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(folder / L"zbarcam.log").find("flooded ") != std::string::npos; }, 5s));
}

// One thread reads every decoder: one that never stops writing must not keep
// another's error output and exit waiting.
TEST(CameraOutput, ADecoderThatNeverStopsWritingKeepsNoOtherWaiting) {
  ScratchFolder floodFolder(L"endless"), otherFolder(L"other");
  CopyStandIn(floodFolder, L"zbarcam.exe", L"zbarcam.exe");
  CopyStandIn(otherFolder, L"zbarcam.exe", L"zbarcam.exe");
  std::uint64_t flooded = 0;
  DecoderEvents floodEvents;
  floodEvents.output = [&](std::string_view bytes) { flooded += bytes.size(); };
  constexpr std::uint64_t kEndless = 3'000'000'000;  // the stand-in counts in 32 bits
  ASSERT_TRUE(AppendShared(floodFolder / L"zbarcam.feed", "flood " + std::to_string(kEndless) + " " + Hex("ab") + "\n"));
  Camera flood(floodFolder, std::move(floodEvents));
  ASSERT_TRUE(flood.pid.has_value());
  ASSERT_TRUE(flood.window.RunUntil([&] { return flooded > (8u << 20); }, 30s)) << flooded << " bytes arrived";

  // A second camera decoder finds the camera held by the first: its error output and exit must come now.
  std::optional<DecoderExit> exit;
  DecoderEvents events;
  events.exited = [&](const DecoderExit& e) { exit = e; };
  Camera other(otherFolder, std::move(events));
  ASSERT_TRUE(other.pid.has_value());
  EXPECT_TRUE(flood.window.RunUntil([&] { return exit.has_value(); }, 30s)) << "the other decoder's exit never came";
  EXPECT_NE(exit ? exit->errorTail.find("camera is in use") : std::string::npos, std::string::npos);
  EXPECT_EQ(exit ? exit->exitCode : 0u, 1u);
  EXPECT_LT(flooded, kEndless) << "the flood ended first";

  ASSERT_TRUE(flood.decoders.End(*flood.pid));
  EXPECT_TRUE(flood.window.RunUntil([&] { return !flood.decoders.End(*flood.pid); }, 30s)) << "the flood did not end";
}

TEST(ModuleFolder, NamesAFileForADecoderThatReadsItsArgumentsInTheAnsiCodePage) {
  ScratchFolder folder(L"names");
  win32::ModuleFolder programFolder(Narrow(folder / L"Torvane.exe"), {});
  const std::wstring korean = folder / L"\uCF54\uB4DC \uC0AC\uC9C4.png";  // 코드 사진.png
  ASSERT_TRUE(WriteFileBytes(korean, "png"));
  const auto shortPath = programFolder.ShortPath(Narrow(korean));
  ASSERT_TRUE(shortPath);
  win32::Win32CharsetEncoder charsets;
  EXPECT_TRUE(charsets.Encode(*shortPath, CharsetEncoder::Charset::SystemAnsi)) << *shortPath;
  EXPECT_FALSE(charsets.Encode(Narrow(korean), CharsetEncoder::Charset::SystemAnsi));
  EXPECT_EQ(ReadFileBytes(Widen(*shortPath)), "png");
  EXPECT_EQ(programFolder.ShortPath(Narrow(folder / L"missing.png")), std::nullopt);
}

TEST(ModuleFolder, KeepsTheBackslashOfADriveRootAndNamesTheExecutable) {
  win32::ModuleFolder root("C:\\Torvane.exe", {});
  EXPECT_EQ(root.Path(), "C:\\");
  EXPECT_EQ(root.ExecutableName(), "Torvane.exe");
  win32::ModuleFolder nested("D:\\扫码 工具\\Torvane.exe", {});
  EXPECT_EQ(nested.Path(), "D:\\扫码 工具");
  EXPECT_EQ(JoinPath(root.Path(), "bar.dat"), "C:\\bar.dat");
}

}  // namespace
}  // namespace torvane::testing
