#include "harness.h"

namespace torvane::e2e {

using win32::UniqueHandle;

namespace {

bool AsksVersion(const StandInStart& start) {
  return std::find(start.args.begin(), start.args.end(), "--version") != start.args.end();
}

}  // namespace

std::vector<StandInStart> RecognitionEngineTest::CameraStarts() const {
  std::vector<StandInStart> starts = StandInStarts(InFolder(L"zbarcam.log"));
  std::erase_if(starts, AsksVersion);
  return starts;
}

std::vector<StandInStart> RecognitionEngineTest::VersionQueries() const {
  std::vector<StandInStart> starts = StandInStarts(InFolder(L"zbarcam.log"));
  std::erase_if(starts, [](const StandInStart& start) { return !AsksVersion(start); });
  return starts;
}

std::vector<std::string> RecognitionEngineTest::WaitForHistory(
    const std::function<bool(const std::vector<std::string>&)>& accept, Millis limit) const {
  std::vector<std::string> items;
  WaitUntil(
      [&] {
        items = History();
        return accept(items);
      },
      limit);
  return items;
}

std::vector<std::string> RecognitionEngineTest::WaitForTopLine(std::string_view line, Millis limit) const {
  return WaitForHistory([&](const std::vector<std::string>& items) { return !items.empty() && items[0] == line; },
                        limit);
}

void RecognitionEngineTest::ConfigureCamera(std::string_view settings) {
  ASSERT_TRUE(WriteFileBytes(InFolder(L"zbarcam.cfg"), settings));
}

void RecognitionEngineTest::FeedCamera(std::string_view lines) {
  ASSERT_TRUE(AppendShared(InFolder(L"zbarcam.feed"), lines));
}

bool RecognitionEngineTest::TorvaneRunning() const {
  UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, TorvaneProcessId()));
  return process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

}  // namespace torvane::e2e
