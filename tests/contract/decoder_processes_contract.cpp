// The decoders whose lives the program owns: what they write arrives in order
// as written, their end comes after it with its code, error output never
// stops them, they end when asked and with their owner. The same cases run
// natively against the fake and under Wine against the job-object adapter.
#include <gtest/gtest.h>
#include "decoder_processes_subject.h"

namespace torvane::contract {
namespace {

using namespace std::chrono_literals;

// Everything a started decoder reported, in the order it came.
struct Reports {
  std::vector<std::string> order;  // "output", "window <title>", "exit"
  std::string output;
  std::optional<DecoderExit> exit;
  bool exited() const { return exit.has_value(); }

  DecoderEvents Events() {
    return {[this](std::string_view bytes) {
              order.push_back("output");
              output += bytes;
            },
            [this](WindowId, std::string_view title) { order.push_back("window " + std::string(title)); },
            [this](const DecoderExit& e) {
              order.push_back("exit");
              exit = e;
            }};
  }
};

std::string Pattern(std::size_t size, char first) {
  std::string bytes;
  while (bytes.size() < size) bytes += std::string(1, first) + std::to_string(bytes.size()) + "\r\n";
  bytes.resize(size);
  return bytes;
}

TEST(DecoderProcessesContract, OutputArrivesAsWrittenAndTheExitAfterItWithItsCodeAndErrorOutput) {
  const auto subject = MakeDecoderSubject();
  const std::string large = Pattern(200 * 1024, 'L');  // more than a pipe holds
  const DecoderScript script{Output("QR-Code:one\r\n"), Pause(50), Output(large), ErrorOutput("ERROR: x\n"),
                             Pause(50), Output("QR-Code:last\r\n"), Exit(3)};
  Reports reports;
  const auto id = subject->Decoders().Start(subject->Plan(script, true), reports.Events());
  ASSERT_TRUE(id);
  EXPECT_TRUE(reports.order.empty()) << "reported inside Start";
  ASSERT_TRUE(subject->RunEventsUntil([&] { return reports.exited(); })) << "no exit reported";

  EXPECT_EQ(reports.output, "QR-Code:one\r\n" + large + "QR-Code:last\r\n");
  EXPECT_EQ(reports.order.back(), "exit");
  EXPECT_EQ(std::count(reports.order.begin(), reports.order.end(), "exit"), 1);
  EXPECT_EQ(reports.exit->exitCode, 3u);
  EXPECT_EQ(reports.exit->errorTail, "ERROR: x\n");
  EXPECT_EQ(subject->Copy(), reports.output) << "the copy is whole when the exit is told";
  EXPECT_FALSE(subject->Running(*id));
  EXPECT_FALSE(subject->Decoders().End(*id)) << "it has ended already";
  EXPECT_FALSE(subject->RunEventsUntil([&] { return reports.order.size() > 1 && reports.order.back() != "exit"; }, 300ms));
}

// A decoder rings a BEL on its error output per code: a full pipe would stop it.
TEST(DecoderProcessesContract, ErrorOutputNeverHoldsTheDecoderUpAndItsEndIsKept) {
  const auto subject = MakeDecoderSubject();
  const std::string errors = Pattern(300 * 1024, 'E');
  Reports reports;
  const auto id = subject->Decoders().Start(subject->Plan({ErrorOutput(errors), Output("done"), Exit(0)}, false),
                                            reports.Events());
  ASSERT_TRUE(id);
  ASSERT_TRUE(subject->RunEventsUntil([&] { return reports.exited(); })) << "the decoder was held up";
  EXPECT_EQ(reports.output, "done");
  EXPECT_EQ(reports.exit->exitCode, 0u);
  EXPECT_EQ(reports.exit->errorTail, errors.substr(errors.size() - DecoderProcesses::kErrorTailBytes));
}

TEST(DecoderProcessesContract, ItsWindowIsReportedAndEndReturnsAtOnceWithTheExitAfterwards) {
  const auto subject = MakeDecoderSubject();
  Reports reports;
  const auto id =
      subject->Decoders().Start(subject->Plan({Output("first\r\n"), Window(), Pause(600000)}, false), reports.Events());
  ASSERT_TRUE(id);
  ASSERT_TRUE(subject->RunEventsUntil([&] {
    return reports.output == "first\r\n" && std::count(reports.order.begin(), reports.order.end(), "window ZBar") > 0;
  })) << "output " << reports.output << ", reports " << ::testing::PrintToString(reports.order);
  EXPECT_TRUE(subject->Running(*id));

  ASSERT_TRUE(subject->Decoders().End(*id));
  EXPECT_FALSE(reports.exited()) << "reported inside End";
  ASSERT_TRUE(subject->RunEventsUntil([&] { return reports.exited(); })) << "the end was never reported";
  EXPECT_FALSE(subject->Running(*id));
  EXPECT_FALSE(subject->Decoders().End(*id));
}

TEST(DecoderProcessesContract, AProgramThatCannotBeStartedReportsNothing) {
  const auto subject = MakeDecoderSubject();
  Reports reports;
  EXPECT_FALSE(subject->Decoders().Start(subject->MissingProgram(), reports.Events()));
  EXPECT_FALSE(subject->RunEventsUntil([&] { return !reports.order.empty(); }, 300ms));
}

TEST(DecoderProcessesContract, ADecoderEndsWithItsOwnerEvenWhenTheOwnerDies) {
  const auto subject = MakeDecoderSubject();
  const auto id = subject->StartInAnOwnerThatDies({Output("running\r\n"), Pause(600000)});
  ASSERT_TRUE(id) << "the owner did not start its decoder";
  EXPECT_TRUE(subject->RunEventsUntil([&] { return !subject->Running(*id); })) << "the decoder outlived its owner";
}

}  // namespace
}  // namespace torvane::contract
