// Which list of cameras the installed zbarcam counts in, and the numbers it
// gives them: ZBar's zbar/video/vfw.c (0.10 and 0.23) and dshow.c (0.23).
#include "core/decoder_cameras.h"
#include <gtest/gtest.h>
#include "fakes/cameras.h"
#include "fakes/files.h"
#include "pe_image.h"

namespace torvane::testing {
namespace {

FakeFile Image(std::vector<std::string> imports) {
  FakeFile file;
  file.Append(PeImage::Build({.imports = std::move(imports)}));
  return file;
}

TEST(DecoderCameraInterface, IsVideoForWindowsWhereTheDecoderOrItsLibraryImportsAvicap32) {
  struct Folder {
    FakeFile decoder, library;
    CameraInterface expected;
    const char* what;
  };
  Folder folders[] = {
      {Image({"libzbar-0.dll", "KERNEL32.dll", "msvcrt.dll"}), Image({"AVICAP32.dll", "KERNEL32.dll", "USER32.dll"}),
       CameraInterface::VideoForWindows, "0.10: ZBar in libzbar-0.dll"},
      {Image({"avicap32.dll", "KERNEL32.dll"}), FakeFile(), CameraInterface::VideoForWindows, "ZBar built into zbarcam.exe"},
      {Image({"libzbar-0.dll", "KERNEL32.dll"}), Image({"ole32.dll", "OLEAUT32.dll", "KERNEL32.dll"}),
       CameraInterface::DirectShow, "0.23 with DirectShow"},
      {FakeFile(), FakeFile(), CameraInterface::DirectShow, "no decoder"},
  };
  FakeFile damaged;
  damaged.Append("MZ" + std::string(200, '\xFF'));
  folders[3].library = std::move(damaged);
  for (Folder& folder : folders)
    EXPECT_EQ(DecoderCameraInterface(folder.decoder, folder.library), folder.expected) << folder.what;
}

TEST(NumberCameras, VideoForWindowsNumbersTheDriversBySlot) {
  FakeCameras cameras;
  cameras.devices = {UsbCamera("Integrated Camera")};
  cameras.InstallDriver(0, "Microsoft WDM Image Capture (Win32)");
  cameras.InstallDriver(3, "USB 视频设备");
  cameras.InstallDriver(5, "");
  EXPECT_EQ(NumberCameras(CameraInterface::VideoForWindows, cameras),
            (std::vector<NumberedCamera>{{"Microsoft WDM Image Capture (Win32)", 0}, {"USB 视频设备", 3}}))
      << "empty slots keep their numbers; a nameless driver cannot be chosen";
}

TEST(NumberCameras, DirectShowCountsEveryDeviceAndStopsWhereZbarcamStops) {
  FakeCameras cameras;
  cameras.InstallDriver(0, "Microsoft WDM Image Capture (Win32)");
  const VideoInputDevice emptyName{"", "\\\\?\\root#image#0000"};
  const VideoInputDevice noPath{"OBS Virtual Camera", std::nullopt};
  const VideoInputDevice noName{std::nullopt, "\\\\?\\root#image#0001"};
  cameras.devices = {UsbCamera("Integrated Camera"), emptyName, UsbCamera("USB 摄像头"), noPath, UsbCamera("After")};
  EXPECT_EQ(NumberCameras(CameraInterface::DirectShow, cameras),
            (std::vector<NumberedCamera>{{"Integrated Camera", 0}, {"USB 摄像头", 2}}));
  cameras.devices = {UsbCamera("Integrated Camera"), noName, UsbCamera("After")};
  EXPECT_EQ(NumberCameras(CameraInterface::DirectShow, cameras), (std::vector<NumberedCamera>{{"Integrated Camera", 0}}));

  cameras.devices.assign(12, UsbCamera("Camera"));
  const std::vector<NumberedCamera> numbered = NumberCameras(CameraInterface::DirectShow, cameras);
  ASSERT_EQ(numbered.size(), 10u) << "/dev/video takes one digit";
  EXPECT_EQ(numbered.back().number, 9);
}

}  // namespace
}  // namespace torvane::testing
