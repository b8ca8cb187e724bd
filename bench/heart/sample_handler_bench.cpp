// Cost of one sample block on the engine's thread: the ring write, two 60-record scans and the session
// step. Blocks arrive at 20 Hz, so anything below a few microseconds leaves the thread idle.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "heart/heart_session.h"
#include "heart/sample_handler.h"

namespace {

std::uint32_t pulse(int i) {
  return 100000u + static_cast<std::uint32_t>(2000.0 * std::sin(static_cast<double>(i) * 0.39));
}

int fake_reset() {
  return 0;
}
char fake_process(int, char, float, float) {
  return 1;
}
int fake_average() {
  return 72;
}
char fake_ready() {
  return 1;
}

void BM_sample_block_with_contact(benchmark::State& state) {
  corvane::OstrelEntryPoints detector;
  detector.reset = fake_reset;
  detector.process_top = fake_process;
  detector.get_average = fake_average;
  detector.get_ready_flag = fake_ready;
  corvane::PpgRing ring;
  corvane::MeasurementState s;
  std::uint8_t block[12]{};
  block[5] = 5;
  std::int64_t now = 0;
  int i = 0;
  for (auto _ : state) {
    const std::uint32_t v = pulse(i++);
    for (int b = 0; b < 4; ++b)
      block[1 + b] = static_cast<std::uint8_t>(v >> (8 * b));
    now += 50;
    corvane::handle_sample_block(ring, s, &detector, std::span<const std::uint8_t, 12>(block, 12), now);
    s.result_fixed = false;
    benchmark::DoNotOptimize(corvane::step_session(s, now));
  }
}
BENCHMARK(BM_sample_block_with_contact);

void BM_waveform_of_200(benchmark::State& state) {
  corvane::PpgRing ring;
  for (int i = 0; i < 3000; ++i)
    ring.push(pulse(i), 5, i * 50);
  for (auto _ : state)
    benchmark::DoNotOptimize(ring.recent(200));
}
BENCHMARK(BM_waveform_of_200);

}  // namespace
