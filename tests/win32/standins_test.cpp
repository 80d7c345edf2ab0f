// The ZBar stand-ins, run the way Torvane runs the real decoders: CreateProcessW
// with stdout on an inherited file handle, scripted by files in their folder.
#include <memory>
#include "win32_test_support.h"

namespace torvane::testing {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using win32::Narrow;
using win32::UniqueFile;

UniqueFile OpenInheritable(const std::wstring& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return UniqueFile(CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                                disposition, 0, nullptr));
}

// A stand-in started as Torvane starts the decoders; killed on destruction if still running.
class Child {
 public:
  Child(const std::wstring& exe, const std::wstring& arguments, const std::wstring& output, const std::wstring& cwd)
      : command_line_(L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments)) {
    const UniqueFile input = OpenInheritable(L"NUL", GENERIC_READ, OPEN_EXISTING);
    const UniqueFile out = OpenInheritable(output, GENERIC_WRITE, CREATE_ALWAYS);
    const UniqueFile err = OpenInheritable(output + L".err", GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = out.get();
    startup.hStdError = err.get();
    std::wstring writable = command_line_;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(exe.c_str(), writable.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, cwd.c_str(),
                        &startup, &started)) {
      ADD_FAILURE() << "cannot start " << Narrow(exe) << ": error " << GetLastError();
      return;
    }
    CloseHandle(started.hThread);
    process_.reset(started.hProcess);
    pid_ = started.dwProcessId;
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() {
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.get(), 99);
      WaitForSingleObject(process_.get(), 5000);
    }
  }

  std::optional<DWORD> exit_code() const {
    DWORD code = 0;
    if (!process_ || WaitForSingleObject(process_.get(), 5000) != WAIT_OBJECT_0) return std::nullopt;
    GetExitCodeProcess(process_.get(), &code);
    return code;
  }
  DWORD pid() const { return pid_; }
  const std::wstring& command_line() const { return command_line_; }

 private:
  std::wstring command_line_;
  win32::UniqueHandle process_;
  DWORD pid_ = 0;
};

// A fresh folder holding copies of both stand-ins: the program folder they serve.
class Sandbox {
 public:
  Sandbox() : folder_(L"standins-" + std::to_wstring(++serial_)) {
    for (const wchar_t* tool : {L"zbarcam.exe", L"zbarimg.exe"}) CopyStandIn(folder_, tool, tool);
  }

  std::wstring path(std::wstring_view name) const { return folder_ / std::wstring(name); }
  std::string read(std::wstring_view name) const { return ReadFileBytes(path(name)); }
  void write(std::wstring_view name, std::string_view bytes) const {
    EXPECT_TRUE(WriteFileBytes(path(name), std::string(bytes))) << Narrow(path(name));
  }
  void append(std::wstring_view name, std::string_view bytes) const {
    EXPECT_TRUE(AppendShared(path(name), std::string(bytes))) << Narrow(path(name));
  }
  std::unique_ptr<Child> start(std::wstring_view tool, const std::wstring& arguments,
                               std::wstring_view output = L"out.txt", const std::wstring& cwd = {}) const {
    return std::make_unique<Child>(path(tool), arguments, path(output), cwd.empty() ? folder_.path() : cwd);
  }

 private:
  static inline int serial_ = 0;
  ScratchFolder folder_;
};

::testing::AssertionResult becomes(const std::function<std::string()>& read, const std::string& expected) {
  if (WaitUntil([&] { return read() == expected; })) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "holds " << ::testing::PrintToString(read()) << ", expected "
                                       << ::testing::PrintToString(expected);
}

HWND video_window_of(DWORD pid) {
  HWND window = nullptr;
  while ((window = FindWindowExW(nullptr, window, L"_ZBar Class", L"ZBar")) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == pid) return window;
  }
  return nullptr;
}

TEST(ZbarcamStandin, PrintsFramesInTextModeAndRawBytesUntranslated) {
  const Sandbox box;
  const auto camera = box.start(L"zbarcam.exe", L"");
  const auto output = [&] { return box.read(L"out.txt"); };
  // Feeds `lines` and expects the output to have grown by `more`.
  std::string expected;
  const auto feedAndExpect = [&](const std::string& lines, const std::string& more) {
    box.append(L"zbarcam.feed", lines);
    expected += more;
    EXPECT_TRUE(becomes(output, expected));
  };
  feedAndExpect("sym QR-Code " + Hex("h\xc3\xa9llo") + "\nframe\n", "QR-Code:h\xc3\xa9llo\r\n");
  feedAndExpect("sym QR-Code " + Hex("a\nb") + "\r\nsym CODE-128 " + Hex("x\0y"s) + "\nsym EAN-13\nframe\n",
                "QR-Code:a\r\nb\r\nCODE-128:x\0y\r\nEAN-13:\r\n"s);
  feedAndExpect("raw 0a410a\n", "\nA\n");
  // A line still being written waits for its "\n": the raw B proves the partial line has been seen.
  feedAndExpect("raw 42\nsym CODE-39 3", "B");
  feedAndExpect("1\nframe\n", "CODE-39:1\r\n");

  box.append(L"zbarcam.feed", "exit 7\n");
  EXPECT_EQ(camera->exit_code(), 7u);
  EXPECT_EQ(box.read(L"out.txt.err"), "\a\a\a") << "a BEL for each frame with symbols";
  const std::string log = box.read(L"zbarcam.log");
  std::size_t frames = 0;
  for (std::size_t at = log.find("\nframe "); at != std::string::npos; at = log.find("\nframe ", at + 1)) ++frames;
  EXPECT_EQ(frames, 3u) << log;
}

// The expected bytes follow zbarcam/zbarcam.c and zbar/symbol.c of ZBar 0.10 and 0.23; the base64
// texts are those Debian's zbarimg 0.23.92 writes for the same data.
TEST(ZbarcamStandin, WritesZBarsXmlByteForByteInTheFormOfItsVersion) {
  const std::string header =
      "<barcodes xmlns='http://zbar.sourceforge.net/2008/barcode'><source device='/dev/video1'>\n";
  const std::string footer = "</source></barcodes>\n";
  const std::string vcard = "BEGIN:VCARD\nN:Li\nEND:VCARD";
  const std::string gs1 = "(01)09501101530003\x1d(17)250101";
  const std::string fullLine = "\x01" + std::string(56, 'A');
  const std::string feed = "sym QR-Code " + Hex(vcard) + "\nsym EAN-13 " + Hex("4006381333931") + "\nframe\nframe\n" +
                           "sym CODE-128 " + Hex(gs1) + " GS1\nsym QR-Code " + Hex("a]]>b\nline2") + "\nsym QR-Code " +
                           Hex("\xe4\xb8\xad\xe6\x96\x87\xe6\xb5\x8b\xe8\xaf\x95") + "\nsym QR-Code " + Hex(fullLine) +
                           "\nsym QR-Code " + Hex("x\0y"s) + "\nframe\n";
  const auto old = [](const std::string& type, const std::string& text) {
    return "<symbol type='" + type + "' quality='1'><data><![CDATA[" + text + "]]></data></symbol>\n";
  };
  const auto later = [](const std::string& type, const std::string& extra, const std::string& data) {
    return "<symbol type='" + type + "' quality='1' orientation='UP'" + extra + "><data" + data + "]]></data></symbol>\n";
  };
  const struct {
    const char* version;
    const wchar_t* arguments;
    std::string frames;
    const char* bells;
  } forms[] = {
      {"0.10", L"-q --xml \\dev\\video0 /dev/video1",
       "<index num='0'>\n" + old("QR-Code", vcard) + old("EAN-13", "4006381333931") + "</index>\n<index num='2'>\n" +
           old("CODE-128", gs1) + old("QR-Code", "a]]>b\nline2") +
           old("QR-Code", "\xe4\xb8\xad\xe6\x96\x87\xe6\xb5\x8b\xe8\xaf\x95") + old("QR-Code", fullLine) +
           old("QR-Code", "x") + "</index>\n",
       ""},
      {"0.23", L"--xml /dev/video1",
       "<index num='0'>\n" + later("QR-Code", "", "><![CDATA[" + vcard) +
           later("EAN-13", " configs='EMIT_CHECK'", "><![CDATA[4006381333931") + "</index>\n<index num='2'>\n" +
           later("CODE-128", " modifiers='GS1'",
                 " format='base64' length='29'><![CDATA[\nKDAxKTA5NTAxMTAxNTMwMDAzHSgxNykyNTAxMDE=\n") +
           later("QR-Code", "", " format='base64' length='11'><![CDATA[\nYV1dPmIKbGluZTI=\n") +
           later("QR-Code", "", " format='base64' length='12'><![CDATA[\n//+t//+H//+L//+V\n") +
           later("QR-Code", "",
                 " format='base64' length='57'><![CDATA[\n"
                 "AUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFB\n\n") +
           later("QR-Code", "", " format='base64' length='3'><![CDATA[\neAB5\n") + "</index>\n",
       "\a\a"},
  };
  for (const auto& form : forms) {
    SCOPED_TRACE(form.version);
    const Sandbox box;
    box.write(L"zbarcam.cfg", "window_delay_ms=0\nversion="s + form.version + "\n");
    box.append(L"zbarcam.feed", feed);
    const auto camera = box.start(L"zbarcam.exe", form.arguments);
    const auto output = [&] { return box.read(L"out.txt"); };
    ASSERT_TRUE(becomes(output, header + form.frames)) << "binary mode: no CR anywhere";
    PostMessageW(video_window_of(camera->pid()), WM_CLOSE, 0, 0);
    EXPECT_EQ(camera->exit_code(), 0u);
    EXPECT_EQ(output(), header + form.frames + footer);
    EXPECT_EQ(box.read(L"out.txt.err"), form.bells);
  }
}

TEST(ZbarcamStandin, PrintsItsVersionAndRefusesAnXmlOptionItDoesNotKnowWithoutOpeningTheCamera) {
  const struct {
    std::string settings;
    const wchar_t* arguments;
    DWORD exit_code;
    const char* output;
    const char* errors;
  } runs[] = {
      {"camera=none\n", L"--version", 0, "0.23\r\n", ""},
      {"version=0.10\n", L"-q --version --xml", 0, "0.10\r\n", ""},
      {"xml=unknown\n", L"--xml --version", 1, "",
       "ERROR: unknown option argument: --xml\r\n\r\nusage: zbarcam [options] [/dev/video?]\r\n"},
  };
  for (const auto& run : runs) {
    SCOPED_TRACE(run.settings + Narrow(run.arguments));
    const Sandbox box;
    box.write(L"zbarcam.cfg", "window_delay_ms=0\n" + run.settings);
    const auto camera = box.start(L"zbarcam.exe", run.arguments);
    EXPECT_EQ(camera->exit_code(), run.exit_code);
    EXPECT_EQ(box.read(L"out.txt"), run.output);
    EXPECT_TRUE(box.read(L"out.txt.err").starts_with(run.errors)) << box.read(L"out.txt.err");
  }
}

TEST(ZbarcamStandin, ShowsItsVideoWindowAndEndsWithZeroWhenClosedOrQuit) {
  for (const UINT message : {WM_CLOSE, WM_CHAR}) {
    SCOPED_TRACE(message == WM_CLOSE ? "WM_CLOSE" : "key q");
    const Sandbox box;
    const auto camera = box.start(L"zbarcam.exe", L"");
    HWND window = nullptr;
    // Created first and shown a moment later, like ZBar's own window.
    ASSERT_TRUE(WaitUntil([&] {
      window = video_window_of(camera->pid());
      return window != nullptr && IsWindowVisible(window);
    }));
    const auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, static_cast<DWORD>(WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(GetParent(window), nullptr);

    PostMessageW(window, message, message == WM_CHAR ? L'q' : 0, 0);
    EXPECT_EQ(camera->exit_code(), 0u);
    EXPECT_EQ(box.read(L"out.txt"), "");
  }
}

TEST(ZbarcamStandin, WithoutACameraFailsAtOnceWithNothingOnStdout) {
  const Sandbox box;
  box.write(L"zbarcam.cfg", "window_delay_ms=0\ncamera=none\n");
  const auto camera = box.start(L"zbarcam.exe", L"");
  EXPECT_EQ(camera->exit_code(), 1u);
  EXPECT_EQ(box.read(L"out.txt"), "");
  EXPECT_NE(box.read(L"out.txt.err").find("ERROR"), std::string::npos);
  EXPECT_EQ(video_window_of(camera->pid()), nullptr);
}

TEST(ZbarcamStandin, HoldsItsCameraSoThatASecondOneOnItFailsAtOnce) {
  const Sandbox box;
  box.write(L"zbarcam.cfg", "window_delay_ms=0\n");
  const auto first = box.start(L"zbarcam.exe", L"");
  ASSERT_TRUE(WaitUntil([&] { return video_window_of(first->pid()) != nullptr; }));
  const auto second = box.start(L"zbarcam.exe", L"\\dev\\video0", L"second.txt");
  EXPECT_EQ(second->exit_code(), 1u);
  EXPECT_EQ(box.read(L"second.txt"), "");
  EXPECT_NE(box.read(L"second.txt.err").find("ERROR"), std::string::npos);
  const auto other = box.start(L"zbarcam.exe", L"1", L"other.txt");
  EXPECT_TRUE(WaitUntil([&] { return video_window_of(other->pid()) != nullptr; })) << "a second camera is free";

  PostMessageW(video_window_of(first->pid()), WM_CLOSE, 0, 0);
  EXPECT_EQ(first->exit_code(), 0u);
  const auto next = box.start(L"zbarcam.exe", L"", L"next.txt");
  EXPECT_TRUE(WaitUntil([&] { return video_window_of(next->pid()) != nullptr; })) << "the camera is free again";
}

TEST(ZbarcamStandin, LogsItsStartRecord) {
  const Sandbox box;
  const std::wstring elsewhere = box.path(L"work dir");
  ASSERT_TRUE(CreateDirectoryW(elsewhere.c_str(), nullptr));
  const auto camera = box.start(L"zbarcam.exe", L"--prescale=640x480 \"two words\"", L"out.txt", elsewhere);
  const auto log = [&] { return box.read(L"zbarcam.log"); };
  ASSERT_TRUE(WaitUntil([&] { return log().ends_with("ready\n"); })) << log();
  // The video window's line may follow.
  const std::string record = "start " + std::to_string(camera->pid()) + "\ncwd " + Narrow(elsewhere) + "\ncmdline " +
                             Narrow(camera->command_line()) +
                             "\nargc 2\narg --prescale=640x480\narg two words\nstdout file\nready\n";
  EXPECT_TRUE(log().starts_with(record)) << log();
}

TEST(ZbarimgStandin, PrintsTheCodesAssignedToEachImageWithZbarExitCodes) {
  const Sandbox box;
  box.write(L"zbarimg.cfg", "delay_ms=20\nimage two codes.png\nsym QR-Code 6869\nsym EAN-13 " + Hex("4006381333931") +
                                "\nimage blank.png\n");
  box.write(L"two codes.png", "png");
  box.write(L"blank.png", "png");
  const struct {
    const wchar_t* image;
    DWORD exit_code;
    const char* output;
  } cases[] = {{L"two codes.png", 0, "QR-Code:hi\r\nEAN-13:4006381333931\r\n"},
               {L"blank.png", 4, ""},
               {L"missing.png", 1, ""}};
  for (const auto& image : cases) {
    SCOPED_TRACE(Narrow(image.image));
    const std::wstring output = std::wstring(L"out-") + image.image + L".txt";
    const auto decoder = box.start(L"zbarimg.exe", L"-D -q \"" + box.path(image.image) + L"\"", output);
    EXPECT_EQ(decoder->exit_code(), image.exit_code);
    EXPECT_EQ(box.read(output), image.output);
    EXPECT_EQ(box.read(output + L".err").empty(), image.exit_code != 1);
  }
}

TEST(ZbarimgStandin, TakesAPathWithSpacesAndChineseAsOneArgument) {
  const Sandbox box;
  ASSERT_TRUE(CreateDirectoryW(box.path(L"扫描 测试").c_str(), nullptr));
  const std::wstring image = box.path(L"扫描 测试\\二维码 1.png");
  EXPECT_TRUE(WriteFileBytes(image, "png"));
  box.write(L"zbarimg.cfg", "image 二维码 1.png\nsym QR-Code 4f4b\n");

  const auto decoder = box.start(L"zbarimg.exe", L"-D -q \"" + image + L"\"");
  EXPECT_EQ(decoder->exit_code(), 0u);
  EXPECT_EQ(box.read(L"out.txt"), "QR-Code:OK\r\n");
  const std::string log = box.read(L"zbarimg.log");
  EXPECT_NE(log.find("\nargc 3\narg -D\narg -q\narg " + Narrow(image) + "\nstdout file\nready\n"), std::string::npos)
      << log;
}

TEST(ZbarimgStandin, ReadsItsArgumentsInTheAnsiCodePage) {
  const Sandbox box;
  const std::wstring image = box.path(L"\uCF54\uB4DC.png");  // 코드.png: no place in code page 936
  EXPECT_TRUE(WriteFileBytes(image, "png"));
  box.write(L"zbarimg.cfg", "image ??.png\nsym QR-Code 4f4b\n");
  const auto decoder = box.start(L"zbarimg.exe", L"-D -q \"" + image + L"\"");
  EXPECT_EQ(decoder->exit_code(), 1u) << "the name arrives as ??.png";
  EXPECT_NE(box.read(L"zbarimg.log").find("\narg " + Narrow(box.path(L"??.png")) + "\n"), std::string::npos)
      << box.read(L"zbarimg.log");

  wchar_t short_path[MAX_PATH]{};
  ASSERT_GT(GetShortPathNameW(image.c_str(), short_path, MAX_PATH), 0u);
  const auto again = box.start(L"zbarimg.exe", L"-D -q \"" + std::wstring(short_path) + L"\"", L"again.txt");
  EXPECT_EQ(again->exit_code(), 4u) << "its short name opens, and holds no code the script gives it";
}

}  // namespace
}  // namespace torvane::testing
