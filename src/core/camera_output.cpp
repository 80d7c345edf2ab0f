#include "core/camera_output.h"

namespace torvane {

std::vector<RecordBytes> CameraOutputReader::Feed(std::string_view bytes) {
  if (form_ == OutputForm::Xml) return FromFrames(xml_.Feed(bytes));
  return records_.Take(lines_.Feed(bytes));
}

std::vector<RecordBytes> CameraOutputReader::Rest() {
  if (form_ == OutputForm::Xml) return {};
  return records_.Take(lines_.Rest());
}

bool CameraOutputReader::WaitsForRest() const {
  return form_ == OutputForm::Lines && (records_.HasOpenRecord() || !records_.WriterAtRest());
}

std::vector<RecordBytes> CameraOutputReader::FromFrames(const XmlReading& reading) {
  std::vector<RecordBytes> records;
  for (const XmlFrame& frame : reading.frames) {
    for (const XmlSymbol& symbol : frame.symbols) {
      // A text ZBar's encoder lost is no code to deliver.
      if (symbol.textLost) continue;
      records.push_back(symbol.symbology + ":" + symbol.data);
    }
  }
  return records;
}

}  // namespace torvane
