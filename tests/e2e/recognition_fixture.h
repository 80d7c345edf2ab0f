// The fixture of the start-up and recognition-module suites: the program folder's files, the history, the camera stand-in.
#pragma once

#include <filesystem>
#include "program_files.h"
#include "program_fixture.h"
#include "window_reading.h"

namespace torvane::e2e {

// The fixture of the start-up and recognition-module suites: TorvaneTest with
// the program folder's files, the history list and the settings panel at hand.
class RecognitionEngineTest : public TorvaneTest {
 protected:
  std::filesystem::path InFolder(std::wstring_view name) const { return ProgramFolder() / std::wstring(name); }
  // The history list's items, newest first.
  std::vector<std::string> History() const { return ListItemsAtOnce(Control(ControlId::HistoryList)); }
  // Waits until the history satisfies `accept`; returns the list as last read.
  std::vector<std::string> WaitForHistory(const std::function<bool(const std::vector<std::string>&)>& accept,
                                          Millis limit = 10s) const;
  // Waits until `line` heads the history; returns the list as last read.
  std::vector<std::string> WaitForTopLine(std::string_view line, Millis limit = 10s) const;
  // The start records of the camera decoder stand-in (zbarcam.log) that ran on
  // a camera: not those that only told their version.
  std::vector<StandInStart> CameraStarts() const;
  // Those that only told their version ("--version").
  std::vector<StandInStart> VersionQueries() const;
  // zbarcam.cfg, read by the stand-in when it starts ("camera=none", "window_delay_ms=N").
  void ConfigureCamera(std::string_view settings);
  // Lines for the stand-in's camera, appended to zbarcam.feed ("sym NAME HEX", "frame").
  void FeedCamera(std::string_view lines);
  // Torvane.exe (the process StartTorvane started) has not ended.
  bool TorvaneRunning() const;
};

}  // namespace torvane::e2e
