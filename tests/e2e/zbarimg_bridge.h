// Debian's zbarimg decoding for the zbarimg.exe stand-in of a program folder.
// Wine starts a Linux program but gives no handle to wait on and no redirected
// output, so the stand-in hands each image over through files (see its
// "bridge" mode in tools/standins/zbarimg.cpp) and a thread of the test runner
// answers: it runs the real decoder on the Linux side and hands back what it
// printed and its exit code. The stand-in prints that as a Windows build would.
#pragma once

#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace torvane::e2e {

class ZbarimgBridge {
 public:
  // Sets the stand-in in `programFolder` to its bridge mode (zbarimg.cfg) and
  // answers its images until the object goes.
  explicit ZbarimgBridge(std::filesystem::path programFolder);
  ~ZbarimgBridge();
  ZbarimgBridge(const ZbarimgBridge&) = delete;
  ZbarimgBridge& operator=(const ZbarimgBridge&) = delete;

  bool Ready() const { return ready_; }

  struct Answer {
    std::filesystem::path image;  // the stand-in's copy of the image it was given, kept for a look
    std::string output;           // what Debian's zbarimg printed (line feeds only)
    int exitCode = -1;            // its exit code, or -1 when it could not be run
  };
  std::vector<Answer> Answers() const;

 private:
  void Serve();
  void AnswerRequest(const std::filesystem::path& request);

  std::filesystem::path folder_;  // the bridge folder
  bool ready_ = false;
  mutable std::mutex mutex_;
  std::vector<Answer> answers_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace torvane::e2e
