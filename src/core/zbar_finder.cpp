#include "core/zbar_finder.h"

#include <algorithm>

#include "core/launch.h"
#include "core/process_check.h"
#include "core/texts.h"
#include "core/version.h"

namespace torvane {
namespace {

std::string_view Unquoted(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
  return text;
}

std::string WithoutTrailingSeparator(std::string_view folder) {
  while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.remove_suffix(1);
  return std::string(folder);
}

// The folder of the program an UninstallString starts: the quoted path, or the whole text.
std::optional<std::string> UninstallerFolder(std::string_view command) {
  if (command.starts_with('"')) {
    const auto close = command.find('"', 1);
    if (close == std::string_view::npos) return std::nullopt;
    command = command.substr(1, close - 1);
  }
  const auto separator = command.find_last_of("\\/");
  if (separator == std::string_view::npos) return std::nullopt;
  return std::string(command.substr(0, separator));
}

bool HoldsName(const std::vector<std::string>& files, std::string_view name) {
  return std::any_of(files.begin(), files.end(), [&](const std::string& f) { return EqualsIgnoringAsciiCase(f, name); });
}

bool HoldsADecoder(FolderListing& folders, const std::string& bin) {
  const auto files = folders.FilesIn(bin);
  return files && (HoldsName(*files, kCameraDecoder) || HoldsName(*files, kImageDecoder));
}

// ZBar folders in the order they are tried.
std::vector<std::string> ZbarFolders(const ZbarSearch& search) {
  std::vector<std::string> folders;
  for (const ProgramList list : {ProgramList::CurrentUser, ProgramList::Machine, ProgramList::Machine32}) {
    if (const auto location = search.installed.EntryValue(list, kZbarProgramName, "InstallLocation");
        location && !Unquoted(*location).empty())
      folders.push_back(WithoutTrailingSeparator(Unquoted(*location)));
    if (const auto command = search.installed.EntryValue(list, kZbarProgramName, "UninstallString"))
      if (const auto folder = UninstallerFolder(*command)) folders.push_back(*folder);
  }
  // ProgramW6432 names the 64-bit folder in 32-bit and 64-bit programs alike;
  // ProgramFiles is the folder of the running program's width.
  for (const std::string_view variable : {"ProgramW6432", "ProgramFiles", "ProgramFiles(x86)"})
    if (const auto programFiles = search.environment.Variable(variable); programFiles && !programFiles->empty())
      folders.push_back(JoinPath(WithoutTrailingSeparator(*programFiles), "ZBar"));
  return folders;
}

}  // namespace

std::vector<std::string_view> MissingDecoders(FolderListing& folders, std::string_view programFolder) {
  const auto files = folders.FilesIn(programFolder);
  std::vector<std::string_view> missing;
  for (const std::string_view decoder : {kCameraDecoder, kImageDecoder})
    if (!files || !HoldsName(*files, decoder)) missing.push_back(decoder);
  return missing;
}

std::optional<std::string> FindInstalledZbar(const ZbarSearch& search) {
  for (const std::string& folder : ZbarFolders(search)) {
    const std::string bin = JoinPath(folder, "bin");
    if (HoldsADecoder(search.folders, bin)) return bin;
  }
  return std::nullopt;
}

std::string ZbarCopyQuestion(std::string_view bin) {
  return std::string(texts::kZbarFoundPrefix) + std::string(bin) + std::string(texts::kZbarFoundSuffix);
}

std::optional<std::string> ZbarOffer::Ask() {
  if (MissingDecoders(p_.search.folders, p_.folder.Path()).empty()) return std::nullopt;
  if (p_.settings.Read(kZbarCopyAnswerSetting)) return std::nullopt;
  const auto bin = FindInstalledZbar(p_.search);
  if (!bin) return std::nullopt;
  const bool copy = p_.questions.AskYesNo(ZbarCopyQuestion(*bin), kProgramTitle);
  p_.settings.Write(kZbarCopyAnswerSetting, copy ? "1" : "0");
  if (!copy) return std::nullopt;
  return bin;
}

}  // namespace torvane
