// Time of one HRDProcessTop call in steady state: the detector locked on a pulse wave, every stage
// running (filters, 20 detector steps, the autocorrelation, and an FFT every 21st reading).
#include <benchmark/benchmark.h>

#include <vector>

#include "ostrel.h"
#include "synthetic_pulse.h"

namespace {

void BM_ProcessTopSteadyState(benchmark::State& state) {
  std::vector<unsigned char> work(static_cast<size_t>(HRDOpen_i20Hz(nullptr)));
  HRDOpen_i20Hz(work.data());
  HRD_Set_FreqOffset(1.0f);
  // Ten minutes of a 72 bpm wave (a whole number of beats, so the loop joins smoothly).
  const std::vector<float> readings = corvane::ostrel_test::pulse_readings(72.0, 600.0);
  size_t i = 0;
  for (; i < 600; ++i)
    HRDProcessTop(0, 1, readings[i], 4101.0f);  // warm-up, replay, lock
  if (!HRD_Get_ReadyFlag()) state.SkipWithError("the detector did not lock on the benchmark wave");
  for (auto _ : state) {
    benchmark::DoNotOptimize(HRDProcessTop(0, 1, readings[i], 4101.0f));
    if (++i == readings.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["ready"] = HRD_Get_ReadyFlag();
  HRDClose();
}
BENCHMARK(BM_ProcessTopSteadyState);

}  // namespace
