#include "core/screen_scan.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "core/bmp_file.h"
#include "core/decoder_records.h"
#include "core/launch.h"
#include "core/texts.h"
#include "core/version.h"

namespace torvane {
namespace {

// Far more than the codes one screen can show.
constexpr std::size_t kMostOutputBytes = 16 << 20;

}  // namespace

void ScreenScan::HoldHotkey(const Hotkey& hotkey) {
  if (held_ == hotkey) return;
  held_.reset();
  if (!p_.hotkey.Register(hotkey)) return p_.history.Add(HotkeyTakenLine(hotkey));
  if (hotkey.key != HotkeyKey::None) held_ = hotkey;
}

void ScreenScan::OnHotkey() { Begin(p_.picker.Focus()); }

void ScreenScan::OnTrayMenuOpening() { menuFocus_ = p_.picker.Focus(); }

void ScreenScan::OnScanScreenChosen() { Begin(menuFocus_); }

void ScreenScan::Begin(FocusedWindow focus) {
  if (busy_) return;
  std::optional<ScreenShot> shot = p_.capture.CaptureScreen();
  if (!shot) {
    p_.history.Add(texts::kScreenUnreadable);
    return;
  }
  busy_ = true;
  const std::uint64_t scan = ++scans_;
  auto frozen = std::make_shared<ScreenShot>(std::move(*shot));
  const bool opened = p_.picker.Open(*frozen, focus, [this, scan, frozen](std::optional<PixelRect> region) {
    if (scan == scans_) OnPicked(*frozen, region);
  });
  if (!opened) busy_ = false;
}

void ScreenScan::OnPicked(const ScreenShot& shot, std::optional<PixelRect> region) {
  if (!region) return Finish();  // cancelled: nothing to say
  const PixelRect inImage{region->left - shot.screen.left, region->top - shot.screen.top, region->width,
                          region->height};
  region_ = Crop(shot.image, inImage);
  Try(RegionScale::AsIs);
}

void ScreenScan::Try(RegionScale scale) {
  const std::optional<std::string> bmp = EncodeBmp24(ForDecoder(region_, scale));
  if (!bmp || !p_.folder.WriteFile(kScreenImageFile, *bmp)) {
    SayNothingFound();
    return Finish();
  }
  output_.clear();
  const std::uint64_t scan = scans_;
  DecoderEvents events;
  events.output = [this, scan](std::string_view bytes) {
    if (scan == scans_) output_.append(bytes.substr(0, kMostOutputBytes - std::min(output_.size(), kMostOutputBytes)));
  };
  events.exited = [this, scan, scale](const DecoderExit&) { OnDecoded(scan, scale); };
  decoder_ = p_.decoders.Start(ImageLaunchPlan(p_.folder.Path(), kScreenImageFile), std::move(events));
  if (!decoder_) {
    p_.history.Add(texts::kImageDecoderMissing);
    Finish();
  }
}

void ScreenScan::OnDecoded(std::uint64_t scan, RegionScale scale) {
  if (scan != scans_) return;
  decoder_.reset();
  const std::vector<RecordBytes> records = FinishedRecords(output_);
  if (!records.empty()) {
    Finish();
    p_.intake.TakeAskedFor(records);
    return;
  }
  if (const std::optional<RegionScale> next = NextScale(scale, region_.width, region_.height)) return Try(*next);
  SayNothingFound();
  Finish();
}

void ScreenScan::SayNothingFound() {
  p_.history.Add(texts::kNoCodeOnScreen);
  // Scanned from the icon's menu or the hotkey, the window may well be hidden.
  if (!p_.window.Shown()) p_.tray.ShowBalloon(kProgramTitle, texts::kNoCodeOnScreenBalloon);
}

void ScreenScan::Finish() {
  p_.folder.Delete(kScreenImageFile);
  region_ = {};
  output_.clear();
  busy_ = false;
}

void ScreenScan::End() {
  ++scans_;  // whatever is under way reports to nobody now
  if (decoder_) p_.decoders.End(*decoder_);
  decoder_.reset();
  busy_ = false;
  p_.hotkey.Unregister();
  held_.reset();
}

}  // namespace torvane
