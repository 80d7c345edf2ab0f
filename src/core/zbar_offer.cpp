#include "core/zbar_offer.h"

#include <utility>

#include "core/texts.h"
#include "core/version.h"
#include "core/zbar_copy.h"

namespace torvane {

bool ZbarOffer::DecoderMissing() { return !MissingDecoders(p_.search.folders, p_.folder.Path()).empty(); }

std::optional<std::string> ZbarOffer::Due() {
  if (!DecoderMissing() || p_.settings.Read(kZbarCopyAnswerSetting)) return std::nullopt;
  return FindInstalledZbar(p_.search);
}

bool ZbarOffer::Ask(std::string_view bin) { return p_.questions.AskYesNo(ZbarCopyQuestion(bin), kProgramTitle); }

void ZbarOffer::Keep(bool copy) { p_.settings.Write(kZbarCopyAnswerSetting, copy ? "1" : "0"); }

void ZbarOffer::Copy(std::string_view bin, std::function<void()> then) {
  CopyZbarFiles(p_.search.folders, p_.folder, p_.copiedList, bin,
                [this, then = std::move(then)](const ZbarCopyResult& result) {
                  if (!result.Complete()) p_.history.Add(texts::kZbarCopyFailed);
                  then();
                });
}

}  // namespace torvane
