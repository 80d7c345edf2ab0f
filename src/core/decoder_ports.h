// The decoders the program starts and owns, as the behaviour sees them: what
// each writes, its windows and its exit, all reported as events.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace torvane {

// A top-level window of another program, as a number (a handle on Windows).
using WindowId = std::uintptr_t;

// A decoder to start.
struct LaunchPlan {
  std::string program;      // full path of the executable
  std::string commandLine;  // full command line, program included, quoted
  std::string workingDir;
  std::string stdoutFile;   // gets a copy of its standard output, made anew; empty: none
  friend bool operator==(const LaunchPlan&, const LaunchPlan&) = default;
};

// How a decoder the program started ended.
struct DecoderExit {
  std::uint32_t exitCode = 0;
  std::string errorTail;  // the end of what it wrote to its standard error
};

// What a started decoder does, each reported as an event of its own on the
// program's thread, never inside a call of the port.
struct DecoderEvents {
  // Its standard output, each piece as it was read, in the order written.
  std::function<void(std::string_view bytes)> output;
  // One of its top-level windows was created or shown, with its title then;
  // a window may be reported more than once.
  std::function<void(WindowId window, std::string_view title)> windowShown;
  // Once, after its last output.
  std::function<void(const DecoderExit& exit)> exited;
};

// Decoders whose lives the program owns.
struct DecoderProcesses {
  // How much of a decoder's error output its exit keeps, from the end.
  static constexpr std::size_t kErrorTailBytes = 4096;

  virtual ~DecoderProcesses() = default;
  // Starts the program of the plan hidden, bound to this program: it is ended
  // when this program ends, however that happens. Its standard output is read
  // as it is written; when the plan names a file, the file is made anew and
  // gets a copy of every byte. Its error output is drained. nullopt when it
  // cannot be started: then no event ever comes.
  virtual std::optional<std::uint32_t> Start(const LaunchPlan& plan, DecoderEvents events) = 0;
  // Asks it to end and returns at once; its exit is reported as any other.
  // False when it has ended already.
  virtual bool End(std::uint32_t id) = 0;
};

}  // namespace torvane
