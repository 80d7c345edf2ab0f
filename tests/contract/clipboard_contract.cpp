// What the clipboard does, and refuses, with other programs beside it. The same
// cases run natively against the fake and under Wine against the system clipboard.
#include <gtest/gtest.h>
#include "clipboard_subject.h"

namespace torvane::contract {
namespace {

using namespace std::string_literals;

TEST(ClipboardContract, TextSetIsReadBackWholeAndWithoutItsNuls) {
  const auto subject = MakeClipboardSubject();
  Clipboard& clipboard = subject->clipboard();
  ASSERT_TRUE(clipboard.SetText("价格 12.50 €\r\n\xF0\x9F\x98\x80\tx"));
  EXPECT_EQ(subject->ReadByAnother(), "价格 12.50 €\r\n\xF0\x9F\x98\x80\tx");
  ASSERT_TRUE(clipboard.SetText("ab\0cd\0{ENTER}"s)) << "a reader would take the text as ending at a NUL";
  EXPECT_EQ(subject->ReadByAnother(), "abcd{ENTER}");
}

TEST(ClipboardContract, WhileAnotherProgramHoldsItOpenEveryChangeIsRefused) {
  const auto subject = MakeClipboardSubject();
  Clipboard& clipboard = subject->clipboard();
  subject->PutByAnother("the user's own");
  subject->HoldByAnother();
  EXPECT_FALSE(clipboard.SetText("code"));
  EXPECT_FALSE(clipboard.OfferText("code"));
  EXPECT_FALSE(clipboard.Save());
  EXPECT_FALSE(clipboard.Restore());
  subject->LetGo();
  EXPECT_EQ(subject->ReadByAnother(), "the user's own");
  EXPECT_TRUE(clipboard.SetText("code")) << "free again";
}

TEST(ClipboardContract, WhatWasSavedComesBackUnlessAnotherProgramSetTheClipboardSince) {
  const auto subject = MakeClipboardSubject();
  Clipboard& clipboard = subject->clipboard();
  subject->PutByAnother("the user's own");
  ASSERT_TRUE(clipboard.Save());
  ASSERT_TRUE(clipboard.SetText("code"));
  EXPECT_EQ(subject->ReadByAnother(), "code");
  ASSERT_TRUE(clipboard.Restore());
  EXPECT_EQ(subject->ReadByAnother(), "the user's own");

  ASSERT_TRUE(clipboard.Save());
  ASSERT_TRUE(clipboard.OfferText("code"));
  subject->PutByAnother("copied meanwhile");
  ASSERT_TRUE(clipboard.Restore());
  EXPECT_EQ(subject->ReadByAnother(), "copied meanwhile");
}

TEST(ClipboardContract, OfferedTextIsRenderedWhenAReaderAsksAndTheOwnerLearnsOfTheFirstRead) {
  const auto subject = MakeClipboardSubject();
  Clipboard& clipboard = subject->clipboard();
  ASSERT_TRUE(clipboard.OfferText("line 1\0"s));
  EXPECT_EQ(subject->ReadsReported(), 0) << "nobody has asked for it yet";
  EXPECT_EQ(subject->ReadByAnother(), "line 1");
  EXPECT_EQ(subject->ReadsReported(), 1);
  EXPECT_EQ(subject->ReadByAnother(), "line 1");
  EXPECT_EQ(subject->ReadsReported(), 1) << "rendered once, told once";

  ASSERT_TRUE(clipboard.OfferText("line 2"));
  EXPECT_EQ(subject->ReadByAnother(), "line 2");
  EXPECT_EQ(subject->ReadsReported(), 2);
  ASSERT_TRUE(clipboard.OfferText("never read"));
  ASSERT_TRUE(clipboard.SetText("replaced"));
  EXPECT_EQ(subject->ReadByAnother(), "replaced");
  EXPECT_EQ(subject->ReadsReported(), 2) << "an offer replaced before anyone read it";
}

}  // namespace
}  // namespace torvane::contract
