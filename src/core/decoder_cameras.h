// The cameras as the installed camera decoder numbers them. zbarcam opens a
// camera through Video for Windows or through DirectShow, as it was built;
// "/dev/videoN" names a driver slot in the one and a place in the device list in
// the other. Which one it uses shows in its import table.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/random_access_file.h"
#include "core/ports.h"

namespace torvane {

inline constexpr std::string_view kCameraDecoderLibrary = "libzbar-0.dll";

enum class CameraInterface { DirectShow, VideoForWindows };

// Video for Windows when zbarcam.exe, or the libzbar-0.dll beside it, imports
// avicap32.dll (ZBar 0.10, and 0.23 built that way); DirectShow otherwise.
CameraInterface DecoderCameraInterface(RandomAccessFile& decoder, RandomAccessFile& library);

// A camera the decoder can be told to open: its name and its N in "/dev/videoN".
struct NumberedCamera {
  std::string name;
  int number = 0;
  friend bool operator==(const NumberedCamera&, const NumberedCamera&) = default;
};

// The cameras of that interface's list that zbarcam can be told to open by one
// digit and the user can choose by name, in the list's order.
std::vector<NumberedCamera> NumberCameras(CameraInterface kind, CameraList& cameras);

// The cameras of the decoder in the program folder, looked at afresh each time:
// cameras come and go, and the decoder can be replaced while the program runs.
class DecoderCameras {
 public:
  struct Ports {
    CameraList& cameras;
    RandomAccessFile& decoder;  // zbarcam.exe
    RandomAccessFile& library;  // libzbar-0.dll
  };
  explicit DecoderCameras(Ports ports) : p_(ports) {}

  std::vector<NumberedCamera> List();
  std::vector<std::string> Names();
  // The number of the first camera of that name; nullopt when none has it.
  std::optional<int> NumberOf(std::string_view name);

 private:
  Ports p_;
};

}  // namespace torvane
