#include "core/controller.h"

#include <algorithm>
#include <array>
#include <exception>
#include <utility>

#include "core/decoder_line.h"
#include "core/key_plan.h"
#include "core/launch.h"
#include "core/line_rule.h"
#include "core/process_check.h"
#include "core/settings_codec.h"
#include "core/texts.h"
#include "core/version.h"

namespace torvane {
namespace {

// A start-up step that fails is skipped; the load goes on with the next one.
template <typename Step>
void Guarded(Step&& step) {
  try {
    step();
  } catch (const std::exception&) {
  }
}

constexpr std::array<ControlId, 3> kOptionGroup{ControlId::o0, ControlId::o1, ControlId::o2};

}  // namespace

// ---- Start-up and shut-down ------------------------------------------------

bool StartsHidden(std::string_view arguments) { return arguments == texts::kStartHiddenArgument; }

bool Controller::Form_Load(std::string_view arguments) {
  const bool show = !StartsHidden(arguments);
  Guarded([&] { LoadOptions(); });
  Guarded([&] { p_.form.SetWindowSize(WindowLayout().width, WindowLayout().height); });
  Guarded([&] { p_.form.MakeSeeThrough(kKeyColour); });
  Guarded([&] { p_.form.SetText(ControlId::wt, TitleWithVersion()); });
  Guarded([&] { p_.form.SetTopmost(true); });
  Guarded([&] { p_.tray.Add(); });
  p_.form.SetTimer(TimerId::DelayLoad, true);
  return show;
}

void Controller::DelayLoad_Timer() {
  // One-shot: off before the pending events run, so that they cannot tick it again.
  p_.form.SetTimer(TimerId::DelayLoad, false);
  p_.form.ProcessPendingEvents();
  const bool imageDecoderRuns = IsProcessRunning(p_.processes, kImageDecoder);
  p_.form.InsertHistory(texts::kLoadingModule);
  if (imageDecoderRuns) return;
  // A decoder left running by an earlier run holds the camera, which a second
  // one cannot open, and keeps writing into the bar.dat about to be replaced.
  TerminateStartedFrom(p_.processes, kCameraDecoder, JoinPath(p_.folder.Path(), kCameraDecoder));
  LaunchRecognitionModule();
}

void Controller::bend_Click() {
  p_.form.ShowWindow(false);
  if (const auto video = VideoWindow()) p_.desktop.PlaceTopmost(*video, false);
  p_.tray.Remove();
  WriteWaitingLogLines();
  p_.form.EndProgram();
}

void Controller::bclose_Click() { p_.form.ShowWindow(false); }

bool Controller::Form_QueryUnload(CloseReason reason) {
  if (reason == CloseReason::SessionEnd) {
    // Refusing would hold up the user's logoff or shutdown; let go as the exit label does.
    p_.tray.Remove();
    WriteWaitingLogLines();
    return true;
  }
  p_.form.ShowWindow(false);
  return false;
}

// ---- Recognition module ----------------------------------------------------

Controller::ModuleSight Controller::LookAtModule() {
  const std::vector<std::uint32_t> decoders = ProcessIdsNamed(p_.processes, kCameraDecoder);
  if (decoders.empty()) return {ModuleState::NotRunning, std::nullopt};
  // Only the decoder's own window: another one titled "ZBar" (a folder of that
  // name open in Explorer) is none of the program's business.
  const std::optional<WindowId> video = p_.desktop.FindOwnedBy(kVideoWindowTitle, decoders);
  return {video ? ModuleState::RunningWithWindow : ModuleState::RunningNoWindow, video};
}

ModuleState Controller::GetModuleState() { return LookAtModule().state; }

std::optional<WindowId> Controller::VideoWindow() { return LookAtModule().video; }

void Controller::PlaceVideoWindow(WindowId video) {
  p_.desktop.PlaceTopmost(video, IsChecked(p_.form.Value(ControlId::Check3)));
}

void Controller::LaunchRecognitionModule() {
  // Only what this launch's decoder writes is taken, from the bar.dat made for it.
  cameraLines_.reset();
  cameraRecords_ = RecordAssembler();
  p_.folder.Delete(kCameraOutput);
  if (p_.launcher.Launch(CameraLaunchPlan(p_.folder.Path()))) cameraLines_.emplace();
}

void Controller::CheckIRMLoad_Timer() {
  const ModuleSight module = LookAtModule();
  switch (module.state) {
    case ModuleState::NotRunning:
      p_.form.SetText(ControlId::TCCam, texts::kModuleNotRunning);
      p_.form.SetEnabled(ControlId::restart, true);
      return;
    case ModuleState::RunningNoWindow:
      p_.form.SetText(ControlId::TCCam, texts::kModuleRunning);
      return;
    case ModuleState::RunningWithWindow:
      p_.desktop.RemoveCloseItem(*module.video);
      PlaceVideoWindow(*module.video);
      p_.form.SetText(ControlId::TCCam, texts::kModuleRunning);
      p_.form.SetEnabled(ControlId::restart, true);
      if (checkTag_ != "1") {
        p_.form.InsertHistory(texts::kModuleLoaded);
        checkTag_ = "1";
      }
      p_.form.SetTimer(TimerId::CheckIRMLoad, false);
      return;
  }
}

void Controller::restart_Click() {
  if (!p_.form.Enabled(ControlId::restart)) return;
  TerminateExactly(p_.processes, kCameraDecoder);
  checkTag_ = "0";
  p_.form.SetEnabled(ControlId::restart, false);
  p_.form.SetTimer(TimerId::Trestart, true);
}

void Controller::Trestart_Timer() {
  LaunchRecognitionModule();
  p_.form.InsertHistory(texts::kModuleRestarted);
  p_.form.SetTimer(TimerId::CheckIRMLoad, true);
  p_.form.SetTimer(TimerId::Trestart, false);
}

void Controller::bp_Click() {
  if (p_.form.TimerOn(TimerId::GetCode)) {
    p_.form.SetTimer(TimerId::GetCode, false);
    p_.form.SetText(ControlId::bp, texts::kStartScanning);
  } else {
    p_.form.SetTimer(TimerId::GetCode, true);
    p_.form.SetText(ControlId::bp, texts::kStopScanning);
    onlyNewestRecord_ = true;
  }
}

void Controller::Check3_Click() {
  if (const auto video = VideoWindow()) PlaceVideoWindow(*video);
}

// ---- Scan intake and delivery --------------------------------------------------

Controller::DecodedRecord Controller::Decode(std::string_view recordBytes) {
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

std::vector<RecordBytes> Controller::NewCameraRecords() {
  if (!cameraLines_) return {};
  std::vector<RecordBytes> records = cameraRecords_.Take(cameraLines_->Look(p_.cameraOutput));
  if (std::exchange(onlyNewestRecord_, false)) {
    // Of what the decoder read while scanning was stopped, only the newest counts.
    if (cameraRecords_.HasOpenRecord()) {
      records.clear();
    } else if (records.size() > 1) {
      records.erase(records.begin(), records.end() - 1);
    }
  }
  return records;
}

void Controller::GetCode_Timer() {
  WriteWaitingLogLines();
  const std::vector<RecordBytes> records = NewCameraRecords();
  // Nothing new: NewBar may have been set from inside the program (the test marker).
  if (records.empty()) Accept({newBar_, DataText(newBar_).value_or("")});
  for (const RecordBytes& record : records) Accept(Decode(record));
}

void Controller::Accept(DecodedRecord record) {
  newBar_ = record.text;
  if (record.text.empty() || record.text == OldBar()) return;
  StoreOldBar(record.text);
  if (record.text == texts::kWelcomeCode) {
    p_.form.SetVisible(ControlId::hs, true);
    return;
  }
  if (record.text == texts::kTestMarker) return;
  DeliverNewCode(record);
}

std::string Controller::OldBar() {
  if (unsavedOldBar_) return *unsavedOldBar_;
  return p_.settings.Read("OldBar").value_or("");
}

void Controller::StoreOldBar(const std::string& line) {
  // Should the store refuse the value, the repeat filter keeps it in memory:
  // otherwise the same code would be delivered again at every tick.
  if (p_.settings.Write("OldBar", line)) {
    unsavedOldBar_.reset();
  } else {
    unsavedOldBar_ = line;
  }
}

Suffix Controller::ChosenSuffix() const {
  if (p_.form.Value(ControlId::o0) == 1) return Suffix::None;
  if (p_.form.Value(ControlId::o1) == 1) return Suffix::Enter;
  return Suffix::Tab;  // only asked when o2 is the selected one
}

void Controller::DeliverNewCode(const DecodedRecord& record) {
  const auto data = DataText(record.text);
  if (!data) {
    // Lines that belong to no record: listed, but they have no data text.
    p_.form.InsertHistory(record.text);
    return;
  }
  const bool anySuffixChosen =
      p_.form.Value(ControlId::o0) == 1 || p_.form.Value(ControlId::o1) == 1 || p_.form.Value(ControlId::o2) == 1;
  if (IsChecked(p_.form.Value(ControlId::Check1)) && anySuffixChosen) {
    const auto keys = PlanKeys(*data, ChosenSuffix());
    p_.keyboard.Inject(keys);
  }
  if (IsChecked(p_.form.Value(ControlId::Check2))) p_.clipboard.SetText(*data);
  ListAndLog(record);
}

void Controller::ListAndLog(const DecodedRecord& record) {
  p_.form.InsertHistory(record.text);
  if (!DataText(record.text)) return;
  pendingLog_.Add(record.logBytes + "\r\n");
  WriteWaitingLogLines();
}

void Controller::RecordImageResult(std::string_view recordBytes) { ListAndLog(Decode(recordBytes)); }

bool Controller::WriteWaitingLogLines() { return pendingLog_.Empty() || pendingLog_.Flush(p_.log); }

void Controller::LogRetry_Timer() { WriteWaitingLogLines(); }

void Controller::CodeList_DblClick() {
  const auto entry = p_.form.SelectedHistory();
  if (!entry) return;
  const auto data = DataText(*entry);
  if (!data) return;
  p_.clipboard.SetText(*data);  // a refusal is swallowed: the clipboard stays as it was
}

// ---- Image-file decoding ------------------------------------------------------

void Controller::CodeList_OLEDragDrop(const std::vector<std::string>& files) {
  if (files.empty()) return;
  TerminateAllNamed(p_.processes, kImageDecoder);
  p_.folder.Delete(kImageOutput);
  RemoveImageCopy();
  imageDecoder_ = p_.launcher.Launch(ImageLaunchPlan(p_.folder.Path(), ImageArgument(files.front())));
  p_.form.SetTimer(TimerId::ReadP, true);
}

// The image decoder reads its arguments in the ANSI code page: a character
// outside it arrives as '?', and the file cannot be opened.
std::string Controller::ImageArgument(const std::string& path) {
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

void Controller::RemoveImageCopy() {
  if (imageCopy_) p_.folder.Delete(*imageCopy_);
  imageCopy_.reset();
}

void Controller::ReadP_Timer() {
  // Waits on the decoding this drop started, not on any image decoder: one that
  // has not started yet must not let a stale or empty bar2.dat be read.
  if (imageDecoder_ && p_.launcher.StillRunning(*imageDecoder_)) return;
  imageDecoder_.reset();
  p_.form.SetTimer(TimerId::ReadP, false);
  RemoveImageCopy();
  const auto stat = p_.imageOutput.Stat();
  if (!stat || stat->size == 0) return;
  constexpr std::uint64_t kMostRead = 16 << 20;
  std::string bytes;
  if (!p_.imageOutput.ReadAt(0, static_cast<std::size_t>(std::min(stat->size, kMostRead)), bytes)) return;
  const auto line = FirstLine(bytes);
  if (!line || line->empty()) return;
  RecordImageResult(FinishedRecords(bytes).front());
}

// ---- Settings and start with Windows ------------------------------------------

void Controller::SetOption(ControlId option, bool selected) {
  if (!selected) {
    p_.form.SetValue(option, 0);
    return;
  }
  for (ControlId other : kOptionGroup) p_.form.SetValue(other, other == option ? 1 : 0);
}

void Controller::LoadOptions() {
  struct CheckKey {
    std::string_view key;
    ControlId box;
  };
  for (const CheckKey& c : {CheckKey{"c1", ControlId::Check1}, CheckKey{"c2", ControlId::Check2},
                            CheckKey{"c3", ControlId::Check3}}) {
    const auto state = ParseCheckState(p_.settings.Read(c.key).value_or("0"));
    if (!state) return;  // an unreadable value ends the loading at that key
    const bool changed = p_.form.Value(c.box) != *state;
    p_.form.SetValue(c.box, *state);
    if (c.box == ControlId::Check3 && changed) Check3_Click();
  }
  ReadStartWithWindows();
  struct OptionKey {
    std::string_view key;
    std::string_view fallback;
    ControlId option;
  };
  for (const OptionKey& o : {OptionKey{"o0", "1", ControlId::o0}, OptionKey{"o1", "0", ControlId::o1},
                             OptionKey{"o2", "0", ControlId::o2}}) {
    const auto selected = ParseTruth(p_.settings.Read(o.key).value_or(std::string(o.fallback)));
    if (!selected) return;
    SetOption(o.option, *selected);
  }
}

std::string Controller::StartupValueName() const {
  std::string name = p_.folder.ExecutableName();
  const auto dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

std::string Controller::StartupCommand() const {
  // Quoted, so that a folder with blanks (C:\Program Files\...) cannot start C:\Program.exe.
  return "\"" + JoinPath(p_.folder.Path(), StartupValueName() + ".exe") + "\" " +
         std::string(texts::kStartHiddenArgument);
}

void Controller::ReadStartWithWindows() {
  const auto data = p_.startup.Read(StartupValueName());
  p_.form.SetValue(ControlId::Check4, data && !data->empty() ? 1 : 0);
}

void Controller::Check4_Click() {
  const bool ok = IsChecked(p_.form.Value(ControlId::Check4)) ? p_.startup.Write(StartupValueName(), StartupCommand())
                                                              : p_.startup.Delete(StartupValueName());
  if (!ok) ShowTopmostSafeMessage(texts::kStartupEntryFailed);
}

void Controller::bset_Click() {
  const PixelRect at = WindowLayout().panelOpenRect;
  p_.form.Move(ControlId::Fset, at.left, at.top);
  p_.form.SetEnabled(ControlId::restart, true);
  p_.form.SetVisible(ControlId::Fset, true);
  p_.form.SetTimer(TimerId::CheckIRMLoad, true);
}

void Controller::setok_Click() {
  p_.form.SetVisible(ControlId::Fset, false);
  const std::array<std::pair<std::string_view, ControlId>, 4> boxes{
      {{"c1", ControlId::Check1}, {"c2", ControlId::Check2}, {"c3", ControlId::Check3}, {"c4", ControlId::Check4}}};
  for (const auto& [key, box] : boxes) p_.settings.Write(key, FormatCheckState(p_.form.Value(box)));
  const std::array<std::pair<std::string_view, ControlId>, 3> options{
      {{"o0", ControlId::o0}, {"o1", ControlId::o1}, {"o2", ControlId::o2}}};
  for (const auto& [key, option] : options) p_.settings.Write(key, FormatTruth(p_.form.Value(option) == 1));
}

// ---- Window behaviours -------------------------------------------------------

void Controller::TrayIcon_Click() { p_.form.RestoreWindow(); }

std::string Controller::TrayMenuText(TrayMenuItem item) const {
  switch (item) {
    case TrayMenuItem::ShowWindow:
      return std::string(texts::kMenuShowWindow);
    case TrayMenuItem::PauseScanning:
      return p_.form.Text(ControlId::bp);
    case TrayMenuItem::Settings:
      return std::string(texts::kMenuSettings);
    case TrayMenuItem::Exit:
      return std::string(texts::kMenuExit);
  }
  return {};
}

void Controller::TrayMenu_Click(TrayMenuItem item) {
  switch (item) {
    case TrayMenuItem::ShowWindow:
      TrayIcon_Click();
      break;
    case TrayMenuItem::PauseScanning:
      bp_Click();
      break;
    case TrayMenuItem::Settings:
      TrayIcon_Click();
      if (!p_.form.Visible(ControlId::Fset)) bset_Click();
      break;
    case TrayMenuItem::Exit:
      bend_Click();
      break;
  }
}

void Controller::TaskbarCreated() { p_.tray.Add(); }

void Controller::ShowTopmostSafeMessage(std::string_view text) {
  p_.form.SetTopmost(false);
  p_.boxes.ShowOk(text, kProgramTitle);
  p_.form.SetTopmost(true);
}

// ---- Help panel --------------------------------------------------------------

void Controller::bhelp_Click() {
  if (p_.form.Visible(ControlId::fhelp)) {
    p_.form.SetVisible(ControlId::fhelp, false);
    return;
  }
  newBar_ = std::string(texts::kTestMarker);
  const PixelRect at = WindowLayout().panelOpenRect;
  p_.form.Move(ControlId::fhelp, at.left, at.top);
  p_.form.SetVisible(ControlId::fhelp, true);
}

void Controller::HelpPanelContent_Click() { p_.form.SetVisible(ControlId::fhelp, false); }

void Controller::help_Click() { ShowTopmostSafeMessage(texts::kHelpHint); }

}  // namespace torvane
