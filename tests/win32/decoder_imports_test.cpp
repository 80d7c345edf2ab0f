// The import table read from real MinGW images, through the adapter that
// reads the decoder's files, and the camera interface a folder's decoder uses.
#include "core/decoder_cameras.h"
#include "core/pe_imports.h"
#include "win32_test_support.h"

namespace torvane::testing {
namespace {

TEST(DecoderImports, AreReadFromRealImagesAndTellTheCameraInterface) {
  win32::SharedReadFile standIn(win32::Narrow((RunnerFolder() / L"zbarcam.exe").wstring()));
  win32::SharedReadFile vfwUser(win32::Narrow((RunnerFolder() / L"vfw_capture_user.dll").wstring()));
  const auto standInImports = ImportedLibraries(standIn);
  ASSERT_TRUE(standInImports.has_value());
  EXPECT_TRUE(ImportsLibrary(standIn, "kernel32.dll")) << "every program imports it";
  EXPECT_TRUE(ImportsLibrary(standIn, "user32.dll")) << "for its video window";
  EXPECT_FALSE(ImportsLibrary(standIn, "avicap32.dll"));
  EXPECT_TRUE(ImportsLibrary(vfwUser, "avicap32.dll"));

  const ScratchFolder folder(L"torvane-decoder-imports");
  CopyStandIn(folder, L"zbarcam.exe", L"zbarcam.exe");
  win32::SharedReadFile decoder(win32::Narrow(folder / L"zbarcam.exe"));
  win32::SharedReadFile library(win32::Narrow(folder / L"libzbar-0.dll"));
  EXPECT_EQ(DecoderCameraInterface(decoder, library), CameraInterface::DirectShow) << "no libzbar-0.dll";
  CopyStandIn(folder, L"vfw_capture_user.dll", L"libzbar-0.dll");
  EXPECT_EQ(DecoderCameraInterface(decoder, library), CameraInterface::VideoForWindows);
  ASSERT_TRUE(WriteFileBytes(folder / L"libzbar-0.dll", std::string("MZ") + std::string(100, '\0')));
  EXPECT_EQ(DecoderCameraInterface(decoder, library), CameraInterface::DirectShow) << "a damaged library";
}

}  // namespace
}  // namespace torvane::testing
