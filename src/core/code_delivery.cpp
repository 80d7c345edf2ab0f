#include "core/code_delivery.h"

#include "core/decoder_line.h"
#include "core/key_plan.h"
#include "core/settings_codec.h"

namespace torvane {

DecodedRecord CodeDelivery::Decode(std::string_view recordBytes) {
  DecodedRecord record;
  record.text = WithCrLfLineBreaks(LineText(recordBytes, p_.ansi));
  const auto symbology = SymbologyOf(record.text);
  const auto data = DataText(record.text);
  // The decoder may have read UTF-8 in the wrong character set: the repaired
  // text is the code's real content, so it is what is logged too, in UTF-8.
  if (auto repaired = RepairMisdecodedText(data ? *data : record.text, p_.charsets)) {
    record.text = data ? *symbology + ":" + *repaired : *repaired;
    record.logBytes = data ? *repaired : std::string();
    return record;
  }
  if (auto rawData = DataText(recordBytes)) record.logBytes = WithoutLoneLineFeeds(*rawData);
  return record;
}

void CodeDelivery::Deliver(const DecodedRecord& record) {
  const auto data = DataText(record.text);
  if (!data) {
    // Lines that belong to no record: listed, but they have no data text.
    p_.history.Add(record.text);
    return;
  }
  const std::optional<Suffix> suffix = p_.options.SelectedSuffix();
  if (IsChecked(p_.options.Check(Option::TypeCodes)) && suffix) p_.keyboard.Inject(PlanKeys(*data, *suffix));
  if (IsChecked(p_.options.Check(Option::CopyToClipboard))) p_.clipboard.SetText(*data);
  ListAndLog(record);
}

void CodeDelivery::ListAndLog(const DecodedRecord& record) {
  p_.history.Add(record.text);
  if (!DataText(record.text)) return;
  pendingLog_.Add(record.logBytes + "\r\n");
  WriteWaitingLogLines();
}

void CodeDelivery::OnHistoryDoubleClicked() {
  const auto entry = p_.history.Selected();
  if (!entry) return;
  const auto data = DataText(*entry);
  if (!data) return;
  p_.clipboard.SetText(*data);  // a refusal is swallowed: the clipboard stays as it was
}

void CodeDelivery::OnLogRetryTick() { WriteWaitingLogLines(); }

bool CodeDelivery::WriteWaitingLogLines() { return pendingLog_.Empty() || pendingLog_.Flush(p_.log); }

}  // namespace torvane
