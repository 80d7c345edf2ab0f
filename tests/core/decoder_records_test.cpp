// Decoder records: which lines start one, and when a record can no longer grow.
#include "core/decoder_records.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace torvane {
namespace {

using Records = std::vector<RecordBytes>;

TEST(StartsRecord, OnlyZBarsSymbologyNamesStartARecord) {
  for (const char* line : {"QR-Code:x", "EAN-13:4006381333931", "I2/5:0123", "DataBar-Exp:(01)1", "SQ-Code:",
                           "UNKNOWN:?", "EAN-13+5:978014300723451234", "UPC-A+2:01234567890512"}) {
    EXPECT_TRUE(StartsRecord(line)) << line;
  }
  for (const char* line : {"VERSION:3.0", "BEGIN:VCARD", "TEL;TYPE=CELL:+86 10", "qr-code:x", "QR-Code", "",
                           " QR-Code:x", "WIFI:S:home;T:WPA;P:secret;;", "CODE-128+7:x"}) {
    EXPECT_FALSE(StartsRecord(line)) << line;
  }
  EXPECT_FALSE(CanHoldLineBreaks("EAN-13"));
  EXPECT_FALSE(CanHoldLineBreaks("ISBN-13+5"));
  EXPECT_FALSE(CanHoldLineBreaks("Codabar"));
  for (const char* name : {"QR-Code", "CODE-128", "CODE-39", "PDF417", "DataBar-Exp", "COMPOSITE", "UNKNOWN"})
    EXPECT_TRUE(CanHoldLineBreaks(name)) << name;
}

// One look at a file that grew by `newBytes`, the lines given as bytes.
NewLines Look(std::uint64_t newBytes, std::vector<std::string> lines, bool unfinished = false) {
  NewLines look;
  for (std::string& line : lines) look.lines.push_back({std::move(line), false});
  look.newBytes = newBytes;
  look.unfinished = unfinished;
  return look;
}

TEST(RecordAssembler, ARecordTakesTheLinesUpToTheNextAndIsHandedOutWhenItCanNoLongerGrow) {
  RecordAssembler records;
  // A vCard and a product code in one frame, written at once after a rest.
  EXPECT_EQ(records.Take(Look(60, {"QR-Code:BEGIN:VCARD", "VERSION:3.0", "END:VCARD", "EAN-13:4006381333931"})),
            (Records{"QR-Code:BEGIN:VCARD\r\nVERSION:3.0\r\nEND:VCARD", "EAN-13:4006381333931"}));
  // A product code is complete at its line end, whatever follows.
  EXPECT_EQ(records.Take(Look(5000, {"EAN-8:96385074"}, true)), Records{"EAN-8:96385074"});
  // A text that may go on waits: for the next record, or for the writer to rest.
  EXPECT_EQ(records.Take(Look(1100, {"", "QR-Code:line 1"})), Records{});
  EXPECT_TRUE(records.HasOpenRecord());
  EXPECT_EQ(records.Take(Look(8, {"line 2"})), Records{}) << "the writer was busy before: more may follow";
  EXPECT_EQ(records.Take(Look(0, {})), Records{"QR-Code:line 1\r\nline 2"});
  EXPECT_EQ(records.Take(Look(9, {"", "", "CODE-128:x", "", "tail"})), Records{"CODE-128:x\r\n\r\ntail"})
      << "a small write after a rest is the whole output of a frame; blank lines outside a record are no record";
  EXPECT_EQ(records.Take(std::nullopt), Records{});
  EXPECT_EQ(records.Take(Look(12, {"QR-Code:next"})), Records{"QR-Code:next"}) << "an unreadable look tells nothing";
}

TEST(RecordAssembler, ALongTextWrittenInPiecesIsNeverCutWhereAPieceEnds) {
  std::string text = "QR-Code:";
  for (int i = 0; i < 40; ++i) text += "line " + std::to_string(i) + " of a long address block\r\n";
  text.resize(text.size() - 2);
  const std::vector<FileLine> lines = FileLinesOf(text);
  for (std::size_t cut = 1; cut < lines.size(); ++cut) {
    RecordAssembler records;
    const std::vector<FileLine> first(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(cut));
    const std::vector<FileLine> rest(lines.begin() + static_cast<std::ptrdiff_t>(cut), lines.end());
    NewLines firstLook{first, RecordAssembler::kOneWriteBytes, false};
    EXPECT_TRUE(records.Take(firstLook).empty()) << cut;
    EXPECT_TRUE(records.Take(NewLines{rest, 20, false}).empty()) << cut;
    EXPECT_EQ(records.Take(NewLines{}), Records{text}) << cut;
  }
}

TEST(RecordAssembler, LineEndsInsideARecordStayAsWritten) {
  RecordAssembler records;
  NewLines look{{{"QR-Code:BEGIN:VCARD", true}, {"", false}, {"N:Li", true}, {"END", false}}, 40, false};
  EXPECT_EQ(records.Take(look), Records{"QR-Code:BEGIN:VCARD\r\r\nN:Li\rEND"});
}

// Output that is no code (a decoder gone wrong) must not grow one record
// without end: what would make a record longer than any code is dropped.
TEST(RecordAssembler, ARecordLongerThanAnyCodeIsDroppedWholeWithItsLinesUpToTheNextRecord) {
  RecordAssembler records(20);
  EXPECT_EQ(records.Take(Look(2000, {"QR-Code:0123456", "ab"})), Records{}) << "19 bytes: may still grow";
  EXPECT_TRUE(records.HasOpenRecord());
  EXPECT_EQ(records.Take(Look(2000, {"c", "garbage", "garbage"})), Records{});
  EXPECT_FALSE(records.HasOpenRecord()) << "nothing of it will be handed out";
  EXPECT_EQ(records.Take(Look(2000, {"0123456789012345678901", "EAN-8:96385074", "QR-Code:next"})),
            Records{"EAN-8:96385074"}) << "a line of no record after it is dropped too; a record ends the dropping";
  EXPECT_EQ(records.Take(Look(2000, {"QR-Code:0123456789abcdefghij"})), Records{"QR-Code:next"})
      << "a first line longer than any code is dropped";
  EXPECT_FALSE(records.HasOpenRecord());
  EXPECT_EQ(records.Take(Look(0, {})), Records{});
  EXPECT_EQ(records.Take(Look(10, {"after rest"})), Records{"after rest"}) << "a rest ends the dropping";

  const std::string huge = "QR-Code:" + std::string(RecordAssembler::kLongestRecordBytes, 'x');
  EXPECT_EQ(FinishedRecords(huge + "\r\nEAN-8:96385074\r\n"), Records{"EAN-8:96385074"});
  EXPECT_EQ(FinishedRecords(huge.substr(0, RecordAssembler::kLongestRecordBytes)).size(), 1u)
      << "the largest code is kept";
}

TEST(FinishedRecords, EveryRecordOfAFinishedOutputAndALastLineWithoutItsEnd) {
  EXPECT_EQ(FinishedRecords("QR-Code:a\r\nb\r\nEAN-13:1\r\nQR-Code:c"),
            (Records{"QR-Code:a\r\nb", "EAN-13:1", "QR-Code:c"}));
  EXPECT_EQ(FinishedRecords(""), Records{});
}

}  // namespace
}  // namespace torvane
