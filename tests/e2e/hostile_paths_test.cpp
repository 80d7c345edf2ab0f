// Torvane.exe in hostile folders, and hostile image names dropped on its list:
// blanks, & ^ % ! ( ) quotes and Chinese in the names, the root of a drive,
// the longest folder a program can start from (with the image's path beyond
// MAX_PATH). The decoders start from the program folder with
// the right arguments, their codes are delivered, no file in or around the
// folder is deleted or created but the program's own, and no command that a
// name spells out runs.
#include "harness.h"

namespace torvane::e2e::hostile {
namespace {


constexpr Millis kResultLimit = 20s;
constexpr std::wstring_view kOwnFiles[] = {L"bar.dat",     L"bar2.dat",    L"data.txt",
                                           L"zbarcam.log", L"zbarimg.log", L"zbarcam.feed"};

// Places a command in a name would leave behind if any command line ran it.
std::vector<fs::path> PlacesOfInjectedFiles(const fs::path& around) {
  const fs::path temp = fs::temp_directory_path();
  std::vector<fs::path> places = {around, around.parent_path(), temp, L"C:\\", L"C:\\windows",
                                  L"C:\\windows\\system32", fs::current_path()};
  std::vector<fs::path> files;
  for (const fs::path& place : places) {
    for (const wchar_t* name : {L"pwned.txt", L"pwned"}) files.push_back(place / name);
  }
  return files;
}

std::vector<std::string> Existing(const std::vector<fs::path>& files) {
  std::vector<std::string> found;
  std::error_code ignored;
  for (const fs::path& file : files) {
    if (fs::exists(file, ignored)) found.push_back(Narrow(file.wstring()));
  }
  return found;
}

struct HostileFolder {
  const char* label;
  std::wstring name;  // the program folder, below the test's own folder
  std::wstring image;  // the dropped image's file name
};

void PrintTo(const HostileFolder& folder, std::ostream* out) { *out << folder.label; }

class HostilePaths : public TorvaneTest, public testing::WithParamInterface<HostileFolder> {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(TorvaneTest::SetUp());
    ASSERT_FALSE(Environment(L"TORVANE_XDND_DROP").empty()) << "TORVANE_XDND_DROP does not name the drag source";
  }

  void TearDown() override {
    TorvaneTest::TearDown();
    if (!drive_.empty()) RunLinuxShell("rm -f " + ShellQuote(drive_));
  }

  // The test's own folder holds the program folder, a sibling and decoys named
  // like the program's files, at every level.
  // `physical` is where the folder lies below the test's own folder, when it
  // is reached through another path (a drive letter).
  void LayOut(const fs::path& folder, const fs::path& physical = {}) {
    folder_ = folder;
    physical_ = physical.empty() ? folder : physical;
    std::error_code error;
    fs::create_directories(folder_ / L"sub", error);
    ASSERT_FALSE(error) << "cannot make " << Narrow(folder_.wstring()) << ": " << error.message();
    fs::create_directories(ProgramFolder() / L"sibling", error);
    fs::create_directories(folder_ / L"images", error);
    for (const wchar_t* exe : {L"Torvane.exe", L"zbarcam.exe", L"zbarimg.exe"}) {
      fs::copy_file(RunnerFolder() / exe, folder_ / exe, fs::copy_options::overwrite_existing, error);
      ASSERT_FALSE(error) << "cannot copy " << Narrow(exe) << ": " << error.message();
    }
    for (const fs::path& place : {ProgramFolder(), ProgramFolder() / L"sibling", folder_ / L"sub"}) {
      for (const wchar_t* decoy : {L"bar.dat", L"bar2.dat", L"data.txt"}) {
        ASSERT_TRUE(WriteFileBytes(place / decoy, "QR-Code:DECOY\r\n")) << Narrow((place / decoy).wstring());
      }
    }
  }

  // The image the stand-in image decoder "finds" a code in.
  fs::path MakeImage(const std::wstring& name, std::string_view code) {
    const fs::path image = folder_ / L"images" / name;
    EXPECT_TRUE(WriteFileBytes(image, "\x89PNG stand-in image\n")) << Narrow(name);
    EXPECT_TRUE(WriteFileBytes(folder_ / L"zbarimg.cfg", "image " + Narrow(name) + "\nsym QR-Code " + Hex(code) + "\n"));
    return image;
  }

  HWND List() const { return ControlIn(run_->window, ControlId::HistoryList); }
  std::string Top() const {
    const auto items = ListItemsAtOnce(List());
    return items.empty() ? std::string() : items.front();
  }
  bool WaitForTop(const std::string& line) {
    return WaitUntil([&] { return Top() == line; }, kResultLimit, 100ms);
  }
  std::string Log() const { return ReadShared(folder_ / L"data.txt").value_or(""); }
  bool WaitForLog(const std::string& expected) {
    return WaitUntil([&] { return Log() == expected; }, kResultLimit, 100ms);
  }
  // The stand-in's starts, without those asked only for their version.
  std::vector<StandInStart> Starts(const wchar_t* log) const {
    std::vector<StandInStart> starts = StandInStarts(folder_ / log);
    std::erase_if(starts, [](const StandInStart& start) {
      return std::find(start.args.begin(), start.args.end(), "--version") != start.args.end();
    });
    return starts;
  }

  // The camera decoder has come up ("loaded" listed), its video window has
  // been put away, and the program answers again. Each step on its own, so
  // that a failure says which did not come.
  void WaitForDecoder() {
    ASSERT_TRUE(WaitForModuleLoaded(run_->window, 60s))
        << "the camera decoder was never reported loaded: " << Settling();
    ASSERT_TRUE(WaitUntil(
        [] {
          const HWND video = VideoWindow();
          return video == nullptr || !IsWindowVisible(video);
        },
        30s))
        << "the video window stayed shown: " << Settling();
    ASSERT_TRUE(WaitUntil([&] { return Sync(run_->window); }, 30s)) << "Torvane does not answer: " << Settling();
  }

  // What the wait for the decoder saw, for a failure message.
  std::string Settling() const {
    std::string text = "history {";
    for (const std::string& item : ListItemsAtOnce(List())) text += "\"" + item + "\" ";
    const HWND video = VideoWindow();
    text += "}, video window " + std::string(video == nullptr ? "none" : IsWindowVisible(video) ? "shown" : "hidden");
    if (video != nullptr) text += " (process " + std::to_string(ProcessOf(video)) + ")";
    text += ", zbarcam.exe processes " + std::to_string(ProcessesNamed(L"zbarcam.exe").size());
    text += ", Torvane " + std::to_string(run_->processId) + ", foreground \"" + TextOf(GetForegroundWindow()) + "\"";
    return text + ", zbarcam.log:\n" + ReadShared(folder_ / L"zbarcam.log").value_or("(none)");
  }

  int DropOnList(const fs::path& file) {
    const ShellResult result = DropAt(CentreOf(List()), {UnixPath(file)});
    dropOutput_ = result.output;
    return result.finished ? result.exitCode : -1;
  }

  // Starts the program from the folder laid out, has the camera read one code
  // and drops one image, and checks what the decoders were started with, what
  // was delivered and what changed on disk.
  void RunFrom(const std::wstring& imageName) {
    const std::string cameraCode = "CAMERA-" + Narrow(imageName.substr(0, 3));
    const std::string imageCode = "IMAGE & %PATH% ^ !x!";
    const fs::path image = MakeImage(imageName, imageCode);
    const auto injected = PlacesOfInjectedFiles(folder_);
    ASSERT_EQ(Existing(injected), std::vector<std::string>{});
    const TreeSnapshot before = SnapshotTree(ProgramFolder());

    run_ = LaunchTorvane(folder_, L"");
    ASSERT_TRUE(run_.has_value()) << "Torvane.exe did not start from " << Narrow(folder_.wstring());
    ASSERT_NO_FATAL_FAILURE(WaitForDecoder());

    ASSERT_TRUE(WaitUntil([&] { return Starts(L"zbarcam.log").size() == 1; }, kResultLimit));
    const StandInStart camera = Starts(L"zbarcam.log").front();
    EXPECT_TRUE(SamePath(Widen(camera.cwd), folder_)) << "zbarcam.exe ran in " << camera.cwd;
    EXPECT_EQ(camera.argc, 0) << camera.commandLine;
    EXPECT_EQ(camera.stdoutKind, "pipe");

    ASSERT_TRUE(AppendShared(folder_ / L"zbarcam.feed", CameraFrame("QR-Code:" + cameraCode)));
    EXPECT_TRUE(WaitForTop("QR-Code:" + cameraCode)) << "the camera's code was not listed; top: " << Top();
    EXPECT_TRUE(WaitForLog(cameraCode + "\r\n")) << "data.txt: " << Escaped(Log());

    EXPECT_EQ(DropOnList(image), 0) << dropOutput_;
    EXPECT_TRUE(WaitForTop("QR-Code:" + imageCode)) << "the image's code was not listed; top: " << Top();
    EXPECT_TRUE(WaitForLog(cameraCode + "\r\n" + imageCode + "\r\n")) << "data.txt: " << Escaped(Log());
    const auto images = Starts(L"zbarimg.log");
    ASSERT_EQ(images.size(), 1u);
    EXPECT_TRUE(SamePath(Widen(images[0].cwd), folder_)) << "zbarimg.exe ran in " << images[0].cwd;
    EXPECT_EQ(images[0].args, (std::vector<std::string>{"-D", "-q", Narrow(image.wstring())})) << images[0].commandLine;

    ASSERT_TRUE(EndProgramProcesses());
    std::set<std::string> changes;
    for (const std::string& change : TreeChanges(before, SnapshotTree(ProgramFolder()))) changes.insert(change);
    std::set<std::string> expected;
    for (const std::wstring_view own : kOwnFiles) {
      expected.insert("+ " + Narrow((physical_ / own).lexically_relative(ProgramFolder()).wstring()));
    }
    EXPECT_EQ(changes, expected);
    EXPECT_EQ(Existing(injected), std::vector<std::string>{});
  }

  std::string dropOutput_;
  std::string drive_;  // the Unix path of a drive letter the test mapped
  fs::path folder_;
  fs::path physical_;
  std::optional<ProgramRun> run_;
};

TEST_P(HostilePaths, DecodersStartInTheFolderDeliverAndTouchNothingElse) {
  ASSERT_NO_FATAL_FAILURE(LayOut(ProgramFolder() / GetParam().name));
  ASSERT_NO_FATAL_FAILURE(RunFrom(GetParam().image));
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, HostilePaths,
    testing::Values(
        HostileFolder{"CommandCharacters", L"a b & c ^ d %PATH% !PATH! (1) [2] ;,=", L"i & j ^ %PATH% !x! (3).png"},
        HostileFolder{"QuotesAndChinese", L"it's `q` \u2018s\u2019 \u201cd\u201d \u626b\u7801 \u5de5\u5177\uff081\uff09",
                      L"\u56fe\u7247 'x' \u2018y\u2019.png"},
        HostileFolder{"Injection", L"x&copy nul pwned.txt&mkdir pwned&echo",
                      L"y&copy nul pwned.txt&mkdir pwned&(z).png"}),
    [](const testing::TestParamInfo<HostileFolder>& info) { return info.param.label; });

// ---- The root of a drive, a path beyond MAX_PATH --------------------------------------

using HostilePlaces = HostilePaths;

TEST_F(HostilePlaces, FromTheRootOfADrive) {
  const std::string prefix = Environment(L"WINEPREFIX");
  ASSERT_FALSE(prefix.empty()) << "WINEPREFIX is not set";
  const fs::path root = ProgramFolder() / L"drive root";
  std::error_code error;
  fs::create_directories(root, error);
  ASSERT_FALSE(error);
  wchar_t letter = 0;
  const DWORD used = GetLogicalDrives();
  for (wchar_t c = L'T'; c >= L'M' && letter == 0; --c) {
    if ((used & (1u << (c - L'A'))) == 0) letter = c;
  }
  ASSERT_NE(letter, 0) << "no free drive letter";
  const std::string link = prefix + "/dosdevices/" + static_cast<char>(std::tolower(letter)) + ":";
  const ShellResult mapped =
      RunLinuxShell("ln -s " + ShellQuote(UnixPath(root)) + " " + ShellQuote(link) + " && test -d " + ShellQuote(link));
  ASSERT_TRUE(mapped.finished && mapped.exitCode == 0) << mapped.output;
  drive_ = link;
  const fs::path drive = std::wstring(1, letter) + L":\\";
  ASSERT_TRUE(WaitUntil([&] { return fs::exists(drive, error); }, 10s))
      << "Wine does not see " << Narrow(drive.wstring());

  ASSERT_NO_FATAL_FAILURE(LayOut(drive, root));
  ASSERT_NO_FATAL_FAILURE(RunFrom(L"root & %PATH% (1).png"));
}

// No program starts from a path of MAX_PATH characters or more (Wine 8 fails
// with ERROR_FILE_NOT_FOUND at 260, and its CreateProcessW corrupts the
// caller's heap at about 320), so the longest program folder is the one whose
// "\zbarcam.exe" (as long as "\Torvane.exe") ends at 259 characters. The
// dropped image lies deeper, its path beyond MAX_PATH.
TEST_F(HostilePlaces, FromTheLongestFolderAProgramCanStartFrom) {
  const std::size_t longest = MAX_PATH - 1 - std::wstring_view(L"\\zbarcam.exe").size();
  fs::path folder = ProgramFolder() / L"long & (path) %PATH% !x!";
  for (wchar_t c = L'a'; folder.wstring().size() < longest; ++c) {
    folder /= std::wstring(std::min<std::size_t>(60, longest - folder.wstring().size() - 1), c);
  }
  ASSERT_EQ(folder.wstring().size(), longest);
  ASSERT_NO_FATAL_FAILURE(LayOut(folder));
  const std::wstring image = L"long image & %PATH% (1) 扫码.png";
  ASSERT_GT((folder / L"images" / image).wstring().size(), static_cast<std::size_t>(MAX_PATH));
  ASSERT_NO_FATAL_FAILURE(RunFrom(image));
}

}  // namespace
}  // namespace torvane::e2e::hostile
