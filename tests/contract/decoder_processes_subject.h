// The decoder processes under contract, with a program to start that acts out
// a script of what a decoder does: write, pause, open its window, end.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include "core/ports.h"

namespace torvane::contract {

struct DecoderStep {
  enum class Kind { Output, ErrorOutput, Pause, Window, Exit };
  Kind kind;
  std::string text;      // the bytes written; the window's title (the stand-in's is "ZBar")
  unsigned number = 0;   // a pause in milliseconds; the exit code
};
using DecoderScript = std::vector<DecoderStep>;

inline DecoderStep Output(std::string bytes) { return {DecoderStep::Kind::Output, std::move(bytes)}; }
inline DecoderStep ErrorOutput(std::string bytes) { return {DecoderStep::Kind::ErrorOutput, std::move(bytes)}; }
inline DecoderStep Pause(unsigned ms) { return {DecoderStep::Kind::Pause, {}, ms}; }
inline DecoderStep Window() { return {DecoderStep::Kind::Window, "ZBar"}; }
inline DecoderStep Exit(unsigned code) { return {DecoderStep::Kind::Exit, {}, code}; }

class DecoderSubject {
 public:
  virtual ~DecoderSubject() = default;
  virtual DecoderProcesses& Decoders() = 0;
  // A plan that starts a program acting out `script`; with `copied` its
  // output goes to a file of the subject's too (Copy).
  virtual LaunchPlan Plan(const DecoderScript& script, bool copied) = 0;
  virtual LaunchPlan MissingProgram() = 0;
  virtual std::optional<std::string> Copy() = 0;
  // Lets the program's thread handle its events until `done` holds.
  virtual bool RunEventsUntil(const std::function<bool()>& done,
                              std::chrono::milliseconds limit = std::chrono::seconds(10)) = 0;
  virtual bool Running(std::uint32_t id) = 0;
  // Another program starts `script` through decoder processes of its own and
  // then dies without cleaning up; the decoder's id.
  virtual std::optional<std::uint32_t> StartInAnOwnerThatDies(const DecoderScript& script) = 0;
};

std::unique_ptr<DecoderSubject> MakeDecoderSubject();

}  // namespace torvane::contract
