// The weather path's text work on a long real report: the filter that
// prepares it for the simulator's reader, and the decoder that reads and
// writes the host's weather record. Reached inside through the static
// library, with the host's model serving the weather calls.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "bench/inside_world.h"
#include "weather/metar.h"

namespace talvix::bench {
namespace {

const char kReport[] =
    "KSFO 081956Z 28016G24KT 250V310 3SM -TSRA BR FEW008 SCT015CB BKN025 "
    "OVC040 14/11 A2992 RMK AO2 PK WND 29030/1932 TSB25 OCNL LTGIC OHD TS "
    "MOV E RAB25 SLP132 P0001 T01390111 $";

// The nearest airport is the report's own, so cloud bases are raised too.
NearestAirportRecord Nearest() {
  NearestAirportRecord nearest{};
  std::memcpy(nearest.bytes + kNearestIdentOffset, "KSFO", 4);
  const float elevation = 13.0f;
  std::memcpy(nearest.bytes + kNearestElevationOffset, &elevation,
              sizeof elevation);
  return nearest;
}

void FilterLongReport(benchmark::State& state) {
  const NearestAirportRecord nearest = Nearest();
  for (auto _ : state) {
    std::string text = kReport;
    FilterMetar(text, nearest);
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(FilterLongReport)
    ->Name("Metar/FilterMetar/long_report")
    ->MinTime(0.2);

void DecodeLongReport(benchmark::State& state) {
  InsideWorld::Get();  // the host's model answers the weather calls
  std::string text = kReport;
  FilterMetar(text, Nearest());
  try {
    DecodeMetar(text);
  } catch (...) {
    return state.SkipWithError("the report does not decode");
  }
  for (auto _ : state) DecodeMetar(text);
}
BENCHMARK(DecodeLongReport)
    ->Name("Metar/DecodeMetar/long_report")
    ->MinTime(0.2);

}  // namespace
}  // namespace talvix::bench
