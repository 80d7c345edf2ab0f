#include "core/decoder_cameras.h"

#include "core/pe_imports.h"

namespace torvane {
namespace {

constexpr std::string_view kVideoForWindowsLibrary = "avicap32.dll";
// zbarcam reads a camera's number from one digit after "/dev/video".
constexpr int kHighestNumber = 9;

}  // namespace

CameraInterface DecoderCameraInterface(RandomAccessFile& decoder, RandomAccessFile& library) {
  // A decoder built with ZBar inside imports avicap32.dll itself; the usual one
  // leaves the cameras to the libzbar-0.dll it loads from its folder.
  const bool videoForWindows =
      ImportsLibrary(decoder, kVideoForWindowsLibrary) || ImportsLibrary(library, kVideoForWindowsLibrary);
  return videoForWindows ? CameraInterface::VideoForWindows : CameraInterface::DirectShow;
}

std::vector<NumberedCamera> NumberCameras(CameraInterface kind, CameraList& cameras) {
  std::vector<NumberedCamera> numbered;
  // A camera without a name still has its number, but cannot be chosen: an
  // empty choice means the default camera.
  const auto add = [&](std::string name, int number) {
    if (!name.empty() && number <= kHighestNumber) numbered.push_back({std::move(name), number});
  };
  if (kind == CameraInterface::VideoForWindows) {
    // The slot is the number; empty slots are skipped, not closed up.
    for (CaptureDriver& driver : cameras.CaptureDrivers()) add(std::move(driver.name), driver.slot);
    return numbered;
  }
  // zbarcam counts the devices in order and stops at the first whose device
  // path or name it cannot read (a virtual camera without a device path): it
  // can open none after that one.
  int number = 0;
  for (VideoInputDevice& device : cameras.VideoInputDevices()) {
    if (!device.devicePath || !device.friendlyName || number > kHighestNumber) break;
    add(std::move(*device.friendlyName), number++);
  }
  return numbered;
}

std::vector<NumberedCamera> DecoderCameras::List() {
  return NumberCameras(DecoderCameraInterface(p_.decoder, p_.library), p_.cameras);
}

std::vector<std::string> DecoderCameras::Names() {
  std::vector<std::string> names;
  for (NumberedCamera& camera : List()) names.push_back(std::move(camera.name));
  return names;
}

std::optional<int> DecoderCameras::NumberOf(std::string_view name) {
  for (const NumberedCamera& camera : List())
    if (camera.name == name) return camera.number;
  return std::nullopt;
}

}  // namespace torvane
