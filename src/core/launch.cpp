#include "core/launch.h"

#include <algorithm>

namespace torvane {

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || (path.back() != '\\' && path.back() != '/')) path += '\\';
  path += name;
  return path;
}

std::string QuoteArgument(std::string_view arg) {
  if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string_view::npos) return std::string(arg);
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      out.append(backslashes * 2 + 1, '\\');
    } else {
      out.append(backslashes, '\\');
    }
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');  // before the closing quote
  out += '"';
  return out;
}

// The program name is read by other rules than the arguments (no backslash
// escapes), and a Windows path cannot hold a quotation mark: always quote it whole.
std::string QuoteProgram(std::string_view path) { return "\"" + std::string(path) + "\""; }

LaunchPlan CameraLaunchPlan(std::string_view programFolder, std::optional<int> camera, OutputForm form,
                            std::span<const std::string> settings) {
  LaunchPlan plan;
  plan.program = JoinPath(programFolder, kCameraDecoder);
  plan.commandLine = QuoteProgram(plan.program);
  if (form == OutputForm::Xml) plan.commandLine += " --xml";
  for (const std::string& setting : settings) plan.commandLine += " " + QuoteArgument(setting);
  if (camera) plan.commandLine += " /dev/video" + std::to_string(*camera);
  plan.workingDir = std::string(programFolder);
  plan.stdoutFile = JoinPath(programFolder, kCameraOutput);
  return plan;
}

LaunchPlan VersionQueryPlan(std::string_view programFolder) {
  LaunchPlan plan;
  plan.program = JoinPath(programFolder, kCameraDecoder);
  plan.commandLine = QuoteProgram(plan.program) + " --version";
  plan.workingDir = std::string(programFolder);
  return plan;
}

OutputForm OutputFormFor(std::string_view versionOutput) {
  std::string_view version = versionOutput.substr(0, versionOutput.find_first_of("\r\n"));
  while (!version.empty() && (version.back() == ' ' || version.back() == '\t')) version.remove_suffix(1);
  while (!version.empty() && (version.front() == ' ' || version.front() == '\t')) version.remove_prefix(1);
  return version == "0.10" ? OutputForm::Xml : OutputForm::Lines;
}

bool RefusesXml(const DecoderExit& exit) {
  return exit.errorTail.find("unknown option argument: --xml") != std::string::npos;
}

std::string ImageCopyName(std::string_view imagePath) {
  std::string name(kImageCopy);
  const std::size_t dot = imagePath.rfind('.');
  if (dot == std::string_view::npos || imagePath.find_first_of("\\/", dot) != std::string_view::npos) return name;
  const std::string_view extension = imagePath.substr(dot + 1);
  const bool plain = !extension.empty() && extension.size() <= 8 && std::all_of(extension.begin(), extension.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  });
  return plain ? name + "." + std::string(extension) : name;
}

LaunchPlan ImageLaunchPlan(std::string_view programFolder, std::string_view imagePath) {
  LaunchPlan plan;
  plan.program = JoinPath(programFolder, kImageDecoder);
  plan.commandLine = QuoteProgram(plan.program) + " -D -q " + QuoteArgument(imagePath);
  plan.workingDir = std::string(programFolder);
  plan.stdoutFile = JoinPath(programFolder, kImageOutput);
  return plan;
}

}  // namespace torvane
