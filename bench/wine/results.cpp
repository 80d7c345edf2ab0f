#include "results.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numeric>

namespace torvane::bench {

void Results::Put(std::string_view key, std::string_view value) {
  std::ofstream out(file_, std::ios::binary | std::ios::app);
  out << key << ' ' << value << '\n';
  std::printf("%.*s %.*s\n", static_cast<int>(key.size()), key.data(), static_cast<int>(value.size()), value.data());
  std::fflush(stdout);
}

void Results::Put(std::string_view key, double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.6g", value);
  Put(key, std::string_view(text));
}

void Results::Put(std::string_view key, std::int64_t value) { Put(key, std::string_view(std::to_string(value))); }

double Percentile(std::vector<double> samples, double percent) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  const auto rank = static_cast<std::size_t>(std::ceil(percent / 100.0 * static_cast<double>(samples.size())));
  return samples[std::clamp<std::size_t>(rank, 1, samples.size()) - 1];
}

double Median(const std::vector<double>& samples) { return Percentile(samples, 50); }

double Mean(const std::vector<double>& samples) {
  if (samples.empty()) return 0;
  return std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(samples.size());
}

double Max(const std::vector<double>& samples) {
  return samples.empty() ? 0 : *std::max_element(samples.begin(), samples.end());
}

}  // namespace torvane::bench
