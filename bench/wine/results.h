// Where a figure goes: one "key value" line per figure, appended to the results
// file as soon as it is known, so that a run cut short still leaves what it had.
#pragma once

#include <concepts>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace torvane::bench {

class Results {
 public:
  explicit Results(std::filesystem::path file) : file_(std::move(file)) {}
  void Put(std::string_view key, std::string_view value);
  void Put(std::string_view key, double value);
  void Put(std::string_view key, std::int64_t value);
  // Any other whole number (int, DWORD, size_t, ...: their widths differ between the builds).
  template <std::integral Number>
    requires(!std::same_as<Number, std::int64_t>)
  void Put(std::string_view key, Number value) {
    Put(key, static_cast<std::int64_t>(value));
  }

 private:
  std::filesystem::path file_;
};

// Nearest-rank percentile (0..100) of unsorted samples; 0 for none.
double Percentile(std::vector<double> samples, double percent);
double Median(const std::vector<double>& samples);
double Mean(const std::vector<double>& samples);
double Max(const std::vector<double>& samples);

}  // namespace torvane::bench
