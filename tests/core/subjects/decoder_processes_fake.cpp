// The fake decoder processes playing the script as the decoder would act it
// out, at the pace the program's thread takes its events.
#include <map>
#include "decoder_processes_subject.h"
#include "fakes/decoders.h"

namespace torvane::contract {
namespace {

using testing::FakeDecoders;

// A pause this long is a decoder that goes on running until it is ended.
constexpr unsigned kRunsOn = 60000;

class FakeDecoderWorld final : public DecoderSubject {
 public:
  DecoderProcesses& Decoders() override { return decoders_; }
  LaunchPlan Plan(const DecoderScript& script, bool copied) override {
    const std::string program = "C:\\Decoders\\script" + std::to_string(scripts_.size()) + ".exe";
    scripts_[program] = script;
    return {program, "\"" + program + "\"", "C:\\Decoders", copied ? kCopy : ""};
  }
  LaunchPlan MissingProgram() override {
    decoders_.missing.insert("C:\\Decoders\\missing.exe");
    return {"C:\\Decoders\\missing.exe", "\"C:\\Decoders\\missing.exe\"", "C:\\Decoders", ""};
  }
  std::optional<std::string> Copy() override {
    const auto found = decoders_.files.find(kCopy);
    if (found == decoders_.files.end()) return std::nullopt;
    return found->second;
  }
  bool RunEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds) override {
    decoders_.FinishEnding();
    for (const std::uint32_t id : decoders_.RunningIds()) Play(id);
    return done();
  }
  bool Running(std::uint32_t id) override { return decoders_.IsRunning(id) || ownersDecoders_.contains(id); }
  std::optional<std::uint32_t> StartInAnOwnerThatDies(const DecoderScript& script) override {
    std::set<std::uint32_t> endedWithOwner;
    std::optional<std::uint32_t> id;
    {
      testing::Journal journal;
      FakeDecoders owner(journal);
      owner.nextPid = 9000;
      owner.endedWithOwner = &endedWithOwner;
      id = owner.Start(Plan(script, false), {});
      if (id) ownersDecoders_.insert(*id);
    }
    for (const std::uint32_t ended : endedWithOwner) ownersDecoders_.erase(ended);
    return id;
  }

 private:
  static constexpr const char* kCopy = "C:\\Decoders\\decoder.out";

  void Play(std::uint32_t id) {
    std::size_t& next = played_[id];
    const DecoderScript& script = scripts_.at(decoders_.PlanOf(id).program);
    for (; next < script.size(); ++next) {
      const DecoderStep& step = script[next];
      switch (step.kind) {
        case DecoderStep::Kind::Output:
          decoders_.Write(id, step.text);
          break;
        case DecoderStep::Kind::ErrorOutput:
          decoders_.WriteError(id, step.text);
          break;
        case DecoderStep::Kind::Pause:
          if (step.number >= kRunsOn) return;
          break;
        case DecoderStep::Kind::Window:
          decoders_.ShowWindow(id, 1, step.text);
          break;
        case DecoderStep::Kind::Exit:
          decoders_.Exit(id, step.number);
          ++next;
          return;
      }
    }
  }
  testing::Journal journal_;
  FakeDecoders decoders_{journal_};
  std::map<std::string, DecoderScript> scripts_;
  std::map<std::uint32_t, std::size_t> played_;
  std::set<std::uint32_t> ownersDecoders_;
};

}  // namespace

std::unique_ptr<DecoderSubject> MakeDecoderSubject() { return std::make_unique<FakeDecoderWorld>(); }

}  // namespace torvane::contract
