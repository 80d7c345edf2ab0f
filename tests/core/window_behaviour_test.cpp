#include <gtest/gtest.h>
#include "core/texts.h"
#include "fakes.h"

namespace torvane::testing {
namespace {

TEST(Load, StylesTitlesAndPostsTheDeferredStartInOrder) {
  Rig rig;
  EXPECT_TRUE(rig.program.window.OnLoad(""));
  EXPECT_TRUE(rig.window.fitted);
  EXPECT_TRUE(rig.window.seeThrough);
  EXPECT_EQ(rig.window.title, "Torvane 2.6");
  EXPECT_TRUE(rig.window.topmost);
  EXPECT_TRUE(rig.tray.present);
  EXPECT_EQ(rig.window.deferredStarts, 1);
  EXPECT_LT(rig.IndexOf("size"), rig.IndexOf("see-through"));
  EXPECT_LT(rig.IndexOf("see-through"), rig.IndexOf("topmost"));
  EXPECT_LT(rig.IndexOf("topmost"), rig.IndexOf("icon added"));
  EXPECT_TRUE(rig.decoders.launched.empty()) << "the load itself starts no decoder";
}

TEST(Load, OnlyTheExactWordRunStartsHidden) {
  for (const auto& [argument, shown] : std::vector<std::pair<std::string, bool>>{
           {"RUN", false}, {"run", true}, {"RUN x", true}, {" RUN", true}, {"RUN ", true}, {"", true}}) {
    Rig rig;
    EXPECT_EQ(rig.program.window.OnLoad(argument), shown) << '"' << argument << '"';
    EXPECT_TRUE(rig.tray.present) << "the icon is added either way";
  }
}

TEST(Load, AFailingStepIsSkippedAndTheRestStillRuns) {
  Rig rig;
  rig.settings.values = {{"c1", "not a number"}, {"Beep", "1"}};
  rig.window.throwOnFit = true;
  EXPECT_TRUE(rig.program.window.OnLoad(""));
  EXPECT_TRUE(rig.program.options.scanner.beep) << "the second page's options load whatever the first page holds";
  EXPECT_EQ(rig.window.title, "Torvane 2.6");
  EXPECT_TRUE(rig.tray.present);
  EXPECT_EQ(rig.window.deferredStarts, 1);
}

TEST(DeferredStart, ListsTheLoadingLineAndLaunchesTheCameraDecoderOnce) {
  Rig rig;
  rig.program.window.OnLoad("");
  rig.program.window.OnDeferredStart();
  EXPECT_EQ(rig.window.history, std::vector<std::string>{std::string(texts::kLoadingModule)});
  rig.AnswerVersion();
  ASSERT_EQ(rig.decoders.launched.size(), 2u);
  EXPECT_EQ(rig.decoders.launched[1].program, "C:\\Scan\\zbarcam.exe");
  EXPECT_EQ(rig.decoders.launched[1].stdoutFile, "C:\\Scan\\bar.dat");
  EXPECT_LT(rig.IndexOf("list [正在加载图像识别模块]"), rig.IndexOf("launch C:\\Scan\\zbarcam.exe"));
}

// A camera decoder of the program folder, however the path it was started by
// is spelt, holds the camera and bar.dat: it is ended, and the new one launched
// once it has. Another program's zbarcam.exe is left alone.
TEST(DeferredStart, EndsTheFoldersCameraDecodersUnderAnySpellingAndLaunchesOnceTheyHaveEnded) {
  Rig rig;
  rig.folder.Alias("C:\\SCAN~1", "C:\\Scan");  // the folder's short name
  rig.folder.Alias("\\\\?\\C:\\Scan", "C:\\Scan");
  rig.folder.Alias("S:", "C:\\Scan");         // a drive letter given to the folder (subst)
  rig.folder.Alias("C:\\Link", "C:\\Scan");  // a junction to it
  rig.processes.Add(20, "zbarcam.exe", "C:\\Scan\\zbarcam.exe");  // left running by the last run
  rig.processes.Add(21, "zbarcam.exe", "C:\\SCAN~1\\zbarcam.exe");
  rig.processes.Add(22, "ZBARCAM.EXE", "\\\\?\\C:\\Scan\\ZBARCAM.EXE");
  rig.processes.Add(23, "zbarcam.exe", "S:\\zbarcam.exe");
  rig.processes.Add(24, "zbarcam.exe", "c:\\link\\ZBARCAM.exe");
  rig.processes.Add(30, "zbarcam.exe", "D:\\Other\\zbarcam.exe");  // another program's camera
  rig.processes.Add(31, "zbarcam.exe", "C:\\Scan\\old\\zbarcam.exe");
  rig.processes.Add(32, "zbarcam.exe");  // its path cannot be read
  rig.processes.Add(33, "zbarimg.exe", "D:\\Other\\zbarimg.exe");  // another program decodes an image
  rig.program.window.OnDeferredStart();
  for (int own = 20; own <= 24; ++own) EXPECT_TRUE(rig.Has("terminate " + std::to_string(own))) << own;
  for (int other = 30; other <= 33; ++other) EXPECT_FALSE(rig.Has("terminate " + std::to_string(other))) << other;
  EXPECT_TRUE(rig.decoders.launched.empty()) << "launched while a decoder still held the camera";

  for (int own = 20; own <= 23; ++own) rig.processes.FinishEnding(own);
  EXPECT_TRUE(rig.decoders.launched.empty()) << "one has not ended yet";
  rig.processes.FinishEnding(24);
  rig.AnswerVersion();
  EXPECT_EQ(rig.decoders.launched.size(), 2u);
}

TEST(DeferredStart, ADecoderThatCannotBeEndedIsNotWaitedFor) {
  Rig rig;
  rig.processes.Add(20, "zbarcam.exe", "C:\\Scan\\zbarcam.exe");
  rig.processes.refused.insert(20);
  rig.program.window.OnDeferredStart();
  EXPECT_TRUE(rig.Has("terminate 20"));
  EXPECT_TRUE(rig.VersionQuery());
}

TEST(DeferredStart, OnlyTheFoldersRunningImageDecoderHoldsBackTheLaunchButNotTheLine) {
  Rig own;
  own.processes.Add(7, "ZBARIMG.EXE", "c:\\scan\\ZBARIMG.EXE");
  own.program.window.OnDeferredStart();
  EXPECT_EQ(own.window.history.front(), texts::kLoadingModule);
  EXPECT_TRUE(own.decoders.launched.empty());
  EXPECT_EQ(own.window.moduleStatus, ModuleStatus::NotRunning);

  Rig other;
  other.processes.Add(7, "ZBARIMG.EXE", "D:\\Other\\ZBARIMG.EXE");
  other.processes.Add(8, "zbarimg.exe");  // its path cannot be read
  other.program.window.OnDeferredStart();
  EXPECT_TRUE(other.VersionQuery()) << "another program's image decoder held back the camera";
}

TEST(DeferredStart, AnUnreadableProcessListCountsAsNoImageDecoder) {
  Rig rig;
  rig.processes.unreadable = true;
  rig.program.window.OnDeferredStart();
  EXPECT_TRUE(rig.VersionQuery());
}

// 退出 frees the camera: the decoders end with the program, and nothing starts them again.
TEST(Shutdown, ExitHidesTheWindowEndsTheDecodersRemovesTheIconAndEnds) {
  CameraRig rig;
  rig.program.window.OnLoad("");
  rig.ShowVideoWindow();
  const std::uint32_t camera = rig.CameraDecoder();
  rig.program.images.OnFilesDropped({"C:\\pics\\code.png"});
  const std::uint32_t image = rig.decoders.RunningFrom("C:\\Scan\\zbarimg.exe");
  rig.journal.clear();
  rig.program.window.OnQuitClicked();
  EXPECT_EQ(rig.journal, (Journal{"window hidden", "end decoder " + std::to_string(camera),
                                  "end decoder " + std::to_string(image), "icon removed", "end"}));
  rig.decoders.FinishEnding();
  rig.Elapse(60000);
  EXPECT_EQ(rig.decoders.launched.size(), 3u) << "nothing is launched after the end";
  EXPECT_EQ(rig.window.history, std::vector<std::string>{std::string(texts::kModuleLoaded)});
}

// data.txt held by another program: the window goes at once, the program
// once the lines are written, or two seconds later; no message waits meanwhile.
TEST(Shutdown, ExitGivesDataTxtTwoSecondsOnATimerForItsLastLines) {
  for (const bool released : {true, false}) {
    CameraRig rig;
    rig.log.locked = true;
    rig.Write("QR-Code:last\r\n");
    rig.program.window.OnQuitClicked();
    EXPECT_FALSE(rig.window.windowVisible);
    EXPECT_FALSE(rig.window.ended);
    rig.Elapse(1000);
    EXPECT_FALSE(rig.window.ended);
    if (released) rig.log.locked = false;
    rig.Elapse(100);
    EXPECT_EQ(rig.window.ended, released);
    EXPECT_EQ(rig.log.contents, released ? "last\r\n" : "");
    rig.Elapse(900);
    EXPECT_TRUE(rig.window.ended) << "ended two seconds after 退出 at the latest";
  }
}

TEST(Shutdown, QuittingWhileTheWindowComesUpLaunchesNoDecoder) {
  Rig rig;
  rig.program.window.OnLoad("");
  rig.program.window.OnQuitClicked();
  rig.program.window.OnDeferredStart();
  EXPECT_TRUE(rig.window.ended);
  EXPECT_TRUE(rig.decoders.launched.empty());
  EXPECT_TRUE(rig.window.history.empty());
}

TEST(Shutdown, CloseRequestsOnlyHideButASessionEndLetsGo) {
  Rig rig;
  rig.program.window.OnLoad("");
  EXPECT_FALSE(rig.program.window.OnClosing(CloseReason::UserRequest));
  EXPECT_FALSE(rig.window.windowVisible);
  EXPECT_TRUE(rig.tray.present);
  rig.program.window.OnCloseClicked();
  EXPECT_FALSE(rig.window.ended);
  rig.program.window.OnDeferredStart();
  rig.AnswerVersion();
  EXPECT_TRUE(rig.program.window.OnClosing(CloseReason::SessionEnd));
  EXPECT_FALSE(rig.tray.present);
  EXPECT_TRUE(rig.decoders.EndAsked(rig.CameraDecoder()));
}

TEST(TrayMenu, EachItemDoesWhatTheWindowsOwnCommandDoes) {
  using Item = TrayMenuItem;
  Rig rig;
  rig.program.window.OnLoad("RUN");
  EXPECT_EQ(rig.program.window.TrayMenuText(Item::PauseScanning), texts::kStopScanning);
  rig.program.window.OnTrayMenuChosen(Item::PauseScanning);
  EXPECT_FALSE(rig.program.module.Scanning());
  EXPECT_EQ(rig.program.window.TrayMenuText(Item::PauseScanning), texts::kStartScanning) << "it reads as the window's";

  rig.journal.clear();
  rig.program.window.OnTrayMenuChosen(Item::Settings);
  EXPECT_TRUE(rig.window.windowVisible);
  EXPECT_TRUE(rig.window.PanelOpen(Panel::Settings));
  rig.program.window.OnTrayMenuChosen(Item::Settings);
  EXPECT_TRUE(rig.window.PanelOpen(Panel::Settings)) << "a second choice leaves the panel open";

  rig.program.window.OnCloseClicked();
  rig.program.window.OnTrayMenuChosen(Item::ShowWindow);
  EXPECT_TRUE(rig.window.windowVisible);
  rig.program.window.OnTrayMenuChosen(Item::Exit);
  EXPECT_TRUE(rig.window.ended);
  EXPECT_FALSE(rig.tray.present);
}

}  // namespace
}  // namespace torvane::testing
