// scans.csv rows and the second page's stored options.
#include <gtest/gtest.h>
#include "core/scan_log.h"
#include "core/scanner_options.h"
#include "core/settings_codec.h"
#include "fakes.h"

namespace torvane::testing {
namespace {

TEST(ScanLog, RowsKeepCommasQuotesLineBreaksAndChineseIntact) {
  const LocalTime t{2026, 3, 7, 9, 5, 1};
  EXPECT_EQ(ScanLogRow(t, "EAN-13", "4006381333931"), "2026-03-07T09:05:01,EAN-13,4006381333931\r\n");
  EXPECT_EQ(ScanLogRow(t, "QR-Code", "a,b"), "2026-03-07T09:05:01,QR-Code,\"a,b\"\r\n");
  EXPECT_EQ(ScanLogRow(t, "QR-Code", "say \"hi\""), "2026-03-07T09:05:01,QR-Code,\"say \"\"hi\"\"\"\r\n");
  EXPECT_EQ(ScanLogRow(t, "QR-Code", "北京\r\n海淀"), "2026-03-07T09:05:01,QR-Code,\"北京\r\n海淀\"\r\n");
  EXPECT_EQ(ScanLogRow(t, "QR-Code", ""), "2026-03-07T09:05:01,QR-Code,\r\n");
}

// A code's text is whatever its printer chose: one a spreadsheet would run as a
// formula (a link, a DDE call) is stored as text, behind an apostrophe.
TEST(ScanLog, ACellThatWouldStartAFormulaStartsWithAnApostrophe) {
  const LocalTime t{2026, 3, 7, 9, 5, 1};
  const std::string time = "2026-03-07T09:05:01,";
  EXPECT_EQ(ScanLogRow(t, "QR-Code", "=HYPERLINK(\"http://x.example\",\"Pay\")"),
            time + "QR-Code,\"'=HYPERLINK(\"\"http://x.example\"\",\"\"Pay\"\")\"\r\n");
  EXPECT_EQ(ScanLogRow(t, "QR-Code", "@SUM(1+1)*cmd|' /C calc'!A0"), time + "QR-Code,'@SUM(1+1)*cmd|' /C calc'!A0\r\n");
  EXPECT_EQ(ScanLogRow(t, "QR-Code", "+1+cmd|' /C calc'!A0"), time + "QR-Code,'+1+cmd|' /C calc'!A0\r\n");
  EXPECT_EQ(ScanLogRow(t, "CODE-128", "-2+3"), time + "CODE-128,'-2+3\r\n");
  EXPECT_EQ(ScanLogRow(t, "QR-Code", "\t=1+1"), time + "QR-Code,'\t=1+1\r\n");
  EXPECT_EQ(ScanLogRow(t, "QR-Code", "\r\n=1+1"), time + "QR-Code,\"'\r\n=1+1\"\r\n");
  EXPECT_EQ(ScanLogRow(t, "=1+1", "x"), time + "'=1+1,x\r\n") << "a line of no record names no symbology";
  EXPECT_EQ(ScanLogRow(t, "QR-Code", "a=b-c+@d"), time + "QR-Code,a=b-c+@d\r\n") << "only the first character counts";
}

TEST(ScannerOptions, EachValueReadsOnItsOwnAndABadOneMeansItsDefault) {
  FakeSettings store;
  EXPECT_EQ(ReadScannerOptions(store), ScannerOptions{}) << "nothing stored: every option at today's behaviour";

  store.values = {{"RepeatScans", "1"}, {"Beep", "yes"},     {"ScanLog", "1"},         {"TypingMethod", "paste"},
                  {"KeyDelayMs", "51"}, {"SuffixDelayMs", "500"}, {"Camera", "USB 摄像头"}};
  const ScannerOptions read = ReadScannerOptions(store);
  EXPECT_TRUE(read.repeatScans);
  EXPECT_FALSE(read.beep) << "not 1 or 0";
  EXPECT_TRUE(read.scanLog);
  EXPECT_EQ(read.typing, TypingMethod::Paste);
  EXPECT_EQ(read.keyDelayMs, 0) << "above 50";
  EXPECT_EQ(read.suffixDelayMs, 500);
  EXPECT_EQ(read.camera, "USB 摄像头");

  for (const char* bad : {"", "-1", "+5", " 5", "5.0", "0x10", "1000"}) {
    store.values = {{"SuffixDelayMs", bad}, {"TypingMethod", "Keys"}};
    EXPECT_EQ(ReadScannerOptions(store), ScannerOptions{}) << bad;
  }
}

TEST(ScannerOptions, WhatIsStoredReadsBackTheSame) {
  FakeSettings store;
  const ScannerOptions chosen{true, true, false, TypingMethod::Keys, 50, 120, "Integrated Camera"};
  StoreScannerOptions(store, chosen);
  EXPECT_EQ(ReadScannerOptions(store), chosen);
  EXPECT_EQ(store.values.at("TypingMethod"), "keys");
  EXPECT_EQ(store.values.at("KeyDelayMs"), "50");
  EXPECT_EQ(store.values.at("Beep"), "1");
}

}  // namespace
}  // namespace torvane::testing
