#include "core/image_decoding.h"

#include <algorithm>
#include <utility>

#include "core/decoder_line.h"
#include "core/decoder_records.h"
#include "core/launch.h"
#include "core/line_rule.h"
#include "core/process_check.h"
#include "core/texts.h"

namespace torvane {
namespace {

// No image ZBar reads is that large; a larger file would only fill the disk
// with its copy and the memory with its decoding.
constexpr std::uint64_t kMostImageBytes = 200ull * 1024 * 1024;
// Of what the image decoder writes, only the first code is taken.
constexpr std::size_t kMostOutputBytes = 16 << 20;

}  // namespace

void ImageDecoding::OnFilesDropped(const std::vector<std::string>& files) {
  if (files.empty()) return;
  image_ = files.front();
  ++drops_;
  // A copy still being made, or a decoder still ending, starts this drop when
  // it is over; what an earlier drop started is not wanted any more.
  if (copying_ || endingDecoders_ > 0) return;
  EndOwnDecoders();
}

void ImageDecoding::EndOwnDecoders() {
  // The folder's image decoder (an earlier drop's, or an earlier run's) writes
  // bar2.dat and reads the copy: the decoding starts once it has ended.
  endingDecoders_ = EndEach(p_.processes, OwnProcesses(p_.processes, p_.folder, kImageDecoder), [this] {
    if (endingDecoders_ > 0 && --endingDecoders_ == 0) Start();
  });
  if (endingDecoders_ == 0) Start();
}

void ImageDecoding::Start() {
  RemoveImageCopy();
  if (const auto size = p_.folder.FileSize(image_); size && *size > kMostImageBytes) {
    p_.history.Add(texts::kImageTooLarge);
    return;
  }
  // The image decoder reads its arguments in the ANSI code page: a character
  // outside it arrives as '?', and the file cannot be opened.
  const auto fits = [&](const std::string& name) {
    return p_.charsets.Encode(name, CharsetEncoder::Charset::SystemAnsi).has_value();
  };
  if (fits(image_)) return Decode(image_);
  if (auto shortPath = p_.folder.ShortPath(image_); shortPath && fits(*shortPath)) return Decode(*shortPath);
  copying_ = true;
  const std::uint64_t drop = drops_;
  const std::string copy = ImageCopyName(image_);
  p_.folder.CopyIn(image_, copy, [this, drop, copy](bool copied) { OnCopied(drop, copy, copied); });
}

void ImageDecoding::OnCopied(std::uint64_t drop, const std::string& copy, bool copied) {
  copying_ = false;
  if (drop != drops_) {  // a later drop came meanwhile: its turn now
    p_.folder.Delete(copy);
    EndOwnDecoders();
    return;
  }
  // A failed copy leaves the decoder the name it cannot open: it finds nothing.
  if (!copied) return Decode(image_);
  imageCopy_ = copy;
  Decode(copy);  // the decoder starts in the program folder
}

void ImageDecoding::Decode(const std::string& argument) {
  const std::uint64_t drop = drops_;
  output_.clear();
  DecoderEvents events;
  events.output = [this, drop](std::string_view bytes) {
    if (drop == drops_) output_.append(bytes.substr(0, kMostOutputBytes - std::min(output_.size(), kMostOutputBytes)));
  };
  events.exited = [this, drop](const DecoderExit&) { OnDecoded(drop); };
  imageDecoder_ = p_.decoders.Start(ImageLaunchPlan(p_.folder.Path(), argument), std::move(events));
  if (imageDecoder_) return;
  RemoveImageCopy();
  if (!p_.folder.FileSize(JoinPath(p_.folder.Path(), kImageDecoder))) p_.history.Add(texts::kImageDecoderMissing);
}

void ImageDecoding::RemoveImageCopy() {
  if (imageCopy_) p_.folder.Delete(*imageCopy_);
  imageCopy_.reset();
}

void ImageDecoding::OnDecoded(std::uint64_t drop) {
  // A later drop ended this decoding to start its own: not its result, and
  // what it had is that drop's now.
  if (drop != drops_) return;
  imageDecoder_.reset();
  RemoveImageCopy();
  const auto line = FirstLine(output_);
  if (!line || line->empty()) return;
  const std::vector<RecordBytes> records = FinishedRecords(output_);
  if (records.empty()) return;  // its first record was longer than any code
  RecordResult(records.front());
}

void ImageDecoding::End() {
  if (imageDecoder_) p_.decoders.End(*imageDecoder_);
}

void ImageDecoding::RecordResult(std::string_view recordBytes) {
  p_.delivery.ListAndLog(DecodeRecord(recordBytes, p_.ansi, p_.charsets));
}

}  // namespace torvane
