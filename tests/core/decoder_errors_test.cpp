// Why zbarcam ended, from its error output: the texts are those of ZBar's
// sources (zbar/error.c formats them, zbar/video/vfw.c and dshow.c, 0.10 and
// 0.23, give the reasons) and of the stand-in decoder.
#include <gtest/gtest.h>
#include "core/decoder_errors.h"
#include "core/texts.h"
#include "fakes/files.h"

namespace torvane::testing {
namespace {

std::optional<std::string> LineFor(std::string_view output) {
  FakeAnsi ansi;
  return DecoderFailureLine(output, ansi);
}

std::string Failed(std::string_view words) {
  return std::string(texts::kCameraFailedPrefix) + std::string(words) + std::string(texts::kCameraFailedSuffix);
}

TEST(DecoderFailureLine, TheCameraMissingOrHeldOrTheDecodersOwnReasonInOneLine) {
  EXPECT_EQ(LineFor("ERROR: zbar processor in _zbar_video_open():\r\n"
                    "    invalid request: video device not found '/dev/video0'\r\n"),
            texts::kCameraNotFound);
  EXPECT_EQ(LineFor("ERROR: zbar processor in _zbar_video_open():\n    system error: no camera found\n"),
            texts::kCameraNotFound)
      << "the stand-in";
  EXPECT_EQ(LineFor("\a\aERROR: zbar processor in _zbar_video_open():\n    system error: the camera is in use\n"),
            texts::kCameraBusy)
      << "the stand-in";
  EXPECT_EQ(LineFor("ERROR: zbar processor in vfw_init():\r\n    all resources busy: setting capture callbacks\r\n"),
            texts::kCameraBusy);

  EXPECT_EQ(LineFor("ERROR: zbar processor in _zbar_video_open():\r\n"
                    "    invalid request: failed to connect to camera '\\\\?\\usb#vid_046d&pid_0825'\r\n"),
            Failed("invalid request: failed to connect to camera '\\\\?\\usb#vid_046d&pid_0825'"));
  EXPECT_EQ(LineFor("ERROR: zbar processor in dshow_start():\r\n    invalid request: starting video stream\r\n"),
            Failed("invalid request: starting video stream"));
  EXPECT_EQ(LineFor("ERROR: zbar processor in proc_open():\r\n"
                    "    windows system error: failed to open window: \xD6\xD0\xCE\xC4\r\n (5)\r\n"),
            Failed("windows system error: failed to open window: 中文"))
      << "Windows' own words come in the system code page";
  EXPECT_EQ(LineFor("ERROR: invalid configuration setting: pdf417.disable\r\nusage: zbarcam [options] "
                    "[/dev/video?]\r\n\r\nscan and decode bar codes from a video stream\r\n"),
            Failed("invalid configuration setting: pdf417.disable"));
  EXPECT_EQ(LineFor("Assertion failed: img->datalen == bufferlen, file zbar/video/dshow.c, line 391\r\n\r\n"
                    "This application has requested the Runtime to terminate it in an unusual way.\r\n"),
            Failed("Assertion failed: img->datalen == bufferlen, file zbar/video/dshow.c, line 391"));
  EXPECT_EQ(LineFor("something else\r\nand its last line\r\n"), Failed("and its last line"));

  EXPECT_EQ(LineFor(""), std::nullopt);
  EXPECT_EQ(LineFor("\a\a\a \r\n"), std::nullopt) << "the bells of codes read, nothing more";
}

// The decoder repeats what it was given (a camera's name) and whatever else
// its libraries say: its words are shown as text of one line, never more.
TEST(DecoderFailureLine, TheDecodersWordsAreShownPrintableOnOneLineAndBounded) {
  const std::string hostile = "ERROR: \x1B[2J\u202E\u200Bevil\tcamera\x7F\xC2\x85 \u3000 name\r\n";
  EXPECT_EQ(LineFor(hostile), Failed("[2Jevil camera name"));
  const std::string word(300, 'x');
  const std::optional<std::string> line = LineFor("ERROR: " + word + "\n");
  ASSERT_TRUE(line);
  EXPECT_EQ(*line, Failed(std::string(kMostDecoderWords, 'x') + "…"));
  EXPECT_EQ(LineFor("ERROR: \xFF\xFE\n")->find('\n'), std::string::npos);
  EXPECT_EQ(LineFor(std::string_view("ERROR: a\0b\n", 11)), Failed("ab"));
}

}  // namespace
}  // namespace torvane::testing
