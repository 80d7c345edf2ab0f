// The camera decoder's standard output as its bytes arrive, in pieces of any
// size, turned into records (see decoder_records.h) each handed out once it
// is complete, in the order written. zbarcam writes one of two forms:
// - the plain lines ("NAME:TEXT"), where a record can still grow until the
//   next record begins, or the writer rests (RecordAssembler's rule): pieces
//   are looks, and a rest is a look that found nothing new;
// - with --xml, frames (zbar_xml_reader.h), complete by construction once
//   their </index> has arrived; a rest completes nothing.
#pragma once

#include <string_view>
#include <vector>

#include "core/aim_identifier.h"
#include "core/decoder_records.h"
#include "core/line_splitter.h"
#include "core/zbar_xml_reader.h"

namespace torvane {

enum class OutputForm { Lines, Xml };

// A record and what the decoder told of it besides its bytes: only the XML
// form tells marks (GS1, AIM); the plain lines tell none.
struct CameraRecord {
  RecordBytes bytes;
  SymbolMarks marks{};
};

class CameraOutputReader {
 public:
  explicit CameraOutputReader(OutputForm form) : form_(form) {}

  OutputForm Form() const { return form_; }
  std::vector<CameraRecord> Feed(std::string_view bytes);
  // The writer has written nothing for a moment.
  std::vector<CameraRecord> Rest();
  // Whether a record may be complete that only a rest of the writer tells.
  bool WaitsForRest() const;

 private:
  std::vector<CameraRecord> FromFrames(const XmlReading& reading);

  OutputForm form_;
  LineSplitter lines_;
  RecordAssembler records_;
  ZbarXmlReader xml_;
};

}  // namespace torvane
