#include "core/camera_output.h"

#include <utility>

namespace torvane {

namespace {

std::vector<CameraRecord> Unmarked(std::vector<RecordBytes> records) {
  std::vector<CameraRecord> unmarked;
  unmarked.reserve(records.size());
  for (RecordBytes& bytes : records) unmarked.push_back({std::move(bytes)});
  return unmarked;
}

}  // namespace

std::vector<CameraRecord> CameraOutputReader::Feed(std::string_view bytes) {
  if (form_ == OutputForm::Xml) return FromFrames(xml_.Feed(bytes));
  return Unmarked(records_.Take(lines_.Feed(bytes)));
}

std::vector<CameraRecord> CameraOutputReader::Rest() {
  if (form_ == OutputForm::Xml) return {};
  return Unmarked(records_.Take(lines_.Rest()));
}

bool CameraOutputReader::WaitsForRest() const {
  return form_ == OutputForm::Lines && (records_.HasOpenRecord() || !records_.WriterAtRest());
}

std::vector<CameraRecord> CameraOutputReader::FromFrames(const XmlReading& reading) {
  std::vector<CameraRecord> records;
  for (const XmlFrame& frame : reading.frames) {
    for (const XmlSymbol& symbol : frame.symbols) {
      // A text ZBar's encoder lost is no code to deliver.
      if (symbol.textLost) continue;
      records.push_back({symbol.symbology + ":" + symbol.data, {.gs1 = symbol.gs1, .fnc1Second = symbol.aim}});
    }
  }
  return records;
}

}  // namespace torvane
