#include "core/image_decoding.h"

#include <algorithm>

#include "core/decoder_line.h"
#include "core/decoder_records.h"
#include "core/launch.h"
#include "core/line_rule.h"
#include "core/process_check.h"

namespace torvane {

void ImageDecoding::OnFilesDropped(const std::vector<std::string>& files) {
  if (files.empty()) return;
  TerminateAllNamed(p_.processes, kImageDecoder);
  p_.folder.Delete(kImageOutput);
  RemoveImageCopy();
  imageDecoder_ = p_.launcher.Launch(ImageLaunchPlan(p_.folder.Path(), DecoderArgument(files.front())));
  p_.timers.Set(TimerId::ImageResult, true);
}

// The image decoder reads its arguments in the ANSI code page: a character
// outside it arrives as '?', and the file cannot be opened.
std::string ImageDecoding::DecoderArgument(const std::string& path) {
  const auto fits = [&](const std::string& name) {
    return p_.charsets.Encode(name, CharsetEncoder::Charset::SystemAnsi).has_value();
  };
  if (fits(path)) return path;
  if (auto shortPath = p_.folder.ShortPath(path); shortPath && fits(*shortPath)) return *shortPath;
  std::string copy = ImageCopyName(path);
  if (!p_.folder.CopyIn(path, copy)) return path;
  imageCopy_ = copy;
  return copy;  // the decoder starts in the program folder
}

void ImageDecoding::RemoveImageCopy() {
  if (imageCopy_) p_.folder.Delete(*imageCopy_);
  imageCopy_.reset();
}

void ImageDecoding::OnImageResultTick() {
  // Waits on the decoding this drop started, not on any image decoder: one that
  // has not started yet must not let a stale or empty bar2.dat be read.
  if (imageDecoder_ && p_.launcher.StillRunning(*imageDecoder_)) return;
  imageDecoder_.reset();
  p_.timers.Set(TimerId::ImageResult, false);
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
