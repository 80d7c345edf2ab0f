// What the intake costs natively, from a piece of the camera decoder's output
// as the pipe hands it over to the code delivered: the whole core wired to the
// recording fakes of the core tests (listed, logged, remembered; nothing typed),
// for both output forms; beside it the output reader alone on full pipe-sized
// pieces, and what the core spends on a long code before the keys go out.
// Run: cmake --build build --target benchmarks && build/bench/torvane_intake_bench
// or scripts/bench.sh, which runs it with the figures under Wine.
#include <benchmark/benchmark.h>

#include <string>

#include "core/camera_output.h"
#include "core/key_plan.h"
#include "fakes.h"

namespace {

using namespace torvane;

struct NoCharsets final : CharsetEncoder {
  std::optional<std::string> Encode(std::string_view, Charset) override { return std::nullopt; }
};

using Rig = testing::BasicRig<testing::FakeAnsi, NoCharsets>;

// The pipe's size in the adapter: the largest piece one read hands over.
constexpr std::size_t kPipeBytes = 64 * 1024;

// A decoder of `version` launched, its video window shown: codes are taken.
void Launch(Rig& rig, std::string_view version) {
  rig.program.module.StartAtLoad();
  rig.AnswerVersion(version);
  rig.ShowVideoWindow();
}

// One code as ZBar 0.10 writes it with --xml: a frame of its own.
std::string XmlFrame(int index, const std::string& data) {
  return "<index num='" + std::to_string(index) + "'>\r\n<symbol type='QR-Code' quality='1'><data><![CDATA[" + data +
         "]]></data></symbol>\r\n</index>\r\n";
}

// What the fakes keep of every code (history, log, journal, the copy of the
// output) is let go of now and then, outside the timing, so that it does not
// grow into the figure.
void ForgetNowAndThen(benchmark::State& state, Rig& rig, std::int64_t n) {
  if (n % 4096 != 0) return;
  state.PauseTiming();
  rig.window.history.clear();
  rig.log.contents.clear();
  rig.journal.clear();
  rig.decoders.files.clear();
  state.ResumeTiming();
}

// One piece holding one code, distinct each time: read, decoded, compared with
// the last code, remembered, listed and logged.
void PieceToDeliveredCode(benchmark::State& state) {
  const bool xml = state.range(0) == 1;
  Rig rig;
  Launch(rig, xml ? "0.10" : "0.23.93");
  if (xml) rig.Write("<barcodes xmlns='http://zbar.sourceforge.net/2008/barcode'><source device='/dev/video0'>\r\n");
  std::int64_t n = 0;
  std::size_t delivered = 0;
  for (auto _ : state) {
    const std::string data = "https://example.com/item/" + std::to_string(++n);
    rig.Write(xml ? XmlFrame(static_cast<int>(n), data) : "QR-Code:" + data + "\r\n");
    delivered += !rig.window.history.empty() && rig.window.history.front() == "QR-Code:" + data;
    ForgetNowAndThen(state, rig, n);
  }
  state.SetLabel(xml ? "xml" : "lines");
  state.counters["delivered_fraction"] = static_cast<double>(delivered) / static_cast<double>(n);
}

// The reader alone on full pieces: `range(0)` 0 is CR LF lines of codes, 1 is
// one line without end (a decoder gone wrong).
void ReaderOnFullPieces(benchmark::State& state) {
  std::string piece;
  if (state.range(0) == 0) {
    for (int i = 0; piece.size() < kPipeBytes; ++i) piece += "QR-Code:https://example.com/item/" + std::to_string(i) + "\r\n";
    piece.resize(kPipeBytes);
  } else {
    piece.assign(kPipeBytes, 'x');
  }
  CameraOutputReader reader(OutputForm::Lines);
  std::size_t records = 0;
  for (auto _ : state) records += reader.Feed(piece).size();
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kPipeBytes));
  state.SetLabel(state.range(0) == 0 ? "code lines" : "one endless line");
  state.counters["records_per_piece"] = static_cast<double>(records) / static_cast<double>(state.iterations());
}

void PlanKeysForALongCode(benchmark::State& state) {
  std::string code;
  while (code.size() < 2000) code += "价格ABC123%{}";
  for (auto _ : state) benchmark::DoNotOptimize(PlanKeys(code, Suffix::Enter));
}

BENCHMARK(PieceToDeliveredCode)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReaderOnFullPieces)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(PlanKeysForALongCode)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
