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
// Ticks of the result timer to wait for bar2.dat to be let go of.
constexpr int kMostOutputWaits = 3;

}  // namespace

void ImageDecoding::OnFilesDropped(const std::vector<std::string>& files) {
  if (files.empty()) return;
  image_ = files.front();
  ++drops_;
  // What an earlier drop started is not wanted any more.
  decoding_ = false;
  outputWaits_ = 0;
  p_.timers.Set(TimerId::ImageResult, false);
  // A copy still being made, or a decoder still ending, starts this drop when it is over.
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
  // Wine reports a decoder's end a moment before it lets go of bar2.dat; a
  // decoder started then writes into a file marked for deletion, and its
  // result is gone when it closes. So the name is waited for, a few ticks at most.
  if (!p_.folder.Delete(kImageOutput) && outputWaits_ < kMostOutputWaits) {
    ++outputWaits_;
    p_.timers.Set(TimerId::ImageResult, true);
    return;
  }
  outputWaits_ = 0;
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
  imageDecoder_ = p_.launcher.Launch(ImageLaunchPlan(p_.folder.Path(), argument));
  decoding_ = true;
  p_.timers.Set(TimerId::ImageResult, true);
}

void ImageDecoding::RemoveImageCopy() {
  if (imageCopy_) p_.folder.Delete(*imageCopy_);
  imageCopy_.reset();
}

void ImageDecoding::OnImageResultTick() {
  if (outputWaits_ > 0) {
    p_.timers.Set(TimerId::ImageResult, false);
    return Start();
  }
  // Waits on the decoding this drop started, not on any image decoder: one that
  // has not started yet must not let a stale or empty bar2.dat be read.
  if (decoding_ && imageDecoder_ && p_.launcher.StillRunning(*imageDecoder_)) return;
  p_.timers.Set(TimerId::ImageResult, false);
  if (!std::exchange(decoding_, false)) return;  // a tick left over from a drop since replaced
  imageDecoder_.reset();
  RemoveImageCopy();
  const auto stat = p_.imageOutput.Stat();
  if (!stat || stat->size == 0) return;
  constexpr std::uint64_t kMostRead = 16 << 20;
  std::string bytes;
  if (!p_.imageOutput.ReadAt(0, static_cast<std::size_t>(std::min(stat->size, kMostRead)), bytes)) return;
  const auto line = FirstLine(bytes);
  if (!line || line->empty()) return;
  const std::vector<RecordBytes> records = FinishedRecords(bytes);
  if (records.empty()) return;  // its first record was longer than any code
  RecordResult(records.front());
}

void ImageDecoding::RecordResult(std::string_view recordBytes) {
  p_.delivery.ListAndLog(p_.delivery.Decode(recordBytes));
}

}  // namespace torvane
