// decoder_owner.exe PROGRAM PID_FILE: starts PROGRAM through the program's
// decoder processes, writes the decoder's id and a line end to PID_FILE and
// waits to be killed. The contract test kills it to see the decoder end with it.
#include <windows.h>
#include <string>
#include "core/launch.h"
#include "win32/decoders_win32.h"
#include "win32/text_win32.h"

int wmain(int argc, wchar_t** argv) {
  using namespace torvane;
  if (argc != 3) return 2;
  const std::string program = win32::Narrow(argv[1]);
  const std::string folder = program.substr(0, program.find_last_of('\\'));
  // No window's thread takes its events: this owner only has to die.
  win32::JobDecoderProcesses decoders{win32::UiThreadPoster()};
  const auto id = decoders.Start({program, QuoteProgram(program), folder, ""}, {});
  if (!id) return 1;
  const std::string line = std::to_string(*id) + "\n";
  HANDLE file = CreateFileW(argv[2], GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
  Sleep(INFINITE);
  return 0;
}
