// The history list explains itself when the pointer rests on it: a tooltip
// window of Torvane's process appears with the hint.
#include "harness.h"

namespace torvane::e2e {
namespace {

using enum ControlId;

class Tooltip : public StartedTorvaneTest {
 protected:
  std::vector<std::string> VisibleTooltipTexts() const {
    std::vector<std::string> texts;
    for (const HWND tip : TopLevelWindows(TorvaneProcessId(), L"tooltips_class32")) texts.push_back(TextOf(tip));
    return texts;
  }
};

TEST_F(Tooltip, NoneShowsWhileThePointerIsElsewhere) { EXPECT_TRUE(VisibleTooltipTexts().empty()); }

TEST_F(Tooltip, HoveringTheListShowsTheCopyHint) {
  ASSERT_TRUE(MovePointer(CentreOf(Control(HistoryList))));
  std::vector<std::string> texts;
  const bool shown = WaitUntil(
      [&] {
        texts = VisibleTooltipTexts();
        return !texts.empty();
      },
      5s);
  ASSERT_TRUE(shown) << "no visible tooltips_class32 window of Torvane.exe within 5 s";
  EXPECT_EQ(texts, std::vector<std::string>{"双击复制"});
}

}  // namespace
}  // namespace torvane::e2e
