#include "quiet_period.h"

#include <windows.h>

#include "linux_processes.h"
#include "win32/text_win32.h"

namespace torvane::bench {

bool MeasureQuietPeriod(Results& results, ProgramUnderTest& program, const std::string& key, int seconds) {
  const std::string folderName = win32::Narrow(program.Folder().filename().wstring());
  const auto decoder = LinuxProcessOf("zbarcam.exe", folderName);
  const auto wineserver = OwnWineserver();
  const auto before = program.CpuSeconds();
  const double decoderBefore = decoder ? LinuxCpuSeconds(*decoder).value_or(0) : 0;
  const double serverBefore = wineserver ? LinuxCpuSeconds(*wineserver).value_or(0) : 0;
  Sleep(static_cast<DWORD>(seconds) * 1000);
  const auto after = program.CpuSeconds();
  if (!before || !after) {
    results.Put(key + ".error", "no CPU time for Torvane.exe");
    return false;
  }
  const double cpu = *after - *before;
  results.Put(key + ".seconds", seconds);
  results.Put(key + ".cpu_s", cpu);
  results.Put(key + ".percent_of_core", cpu / seconds * 100);
  if (decoder) results.Put(key + ".decoder_cpu_s", LinuxCpuSeconds(*decoder).value_or(0) - decoderBefore);
  if (wineserver) results.Put(key + ".wineserver_cpu_s", LinuxCpuSeconds(*wineserver).value_or(0) - serverBefore);
  if (const auto bytes = program.WorkingSetBytes()) results.Put(key + ".working_set_kb", *bytes / 1024);
  return true;
}

}  // namespace torvane::bench
