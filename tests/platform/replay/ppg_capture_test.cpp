#include "replay/ppg_capture.h"

#include <gtest/gtest.h>

#include <cmath>

#include "input/sensor_report.h"
#include "replay/capture.h"

namespace corvane {
namespace {

// A 1 Hz sine sampled at 100 Hz for `seconds`.
std::vector<PpgSample> sine(double seconds, double amplitude = 10.0, double offset = 50.0) {
  std::vector<PpgSample> s;
  for (int i = 0; i <= static_cast<int>(seconds * 100); ++i) {
    const double t = i / 100.0;
    s.push_back({t, offset + amplitude * std::sin(2 * M_PI * t)});
  }
  return s;
}

std::uint32_t reading_of(const std::vector<std::uint8_t>& r) {
  return r[4] | (r[5] << 8) | (r[6] << 16) | (static_cast<std::uint32_t>(r[7]) << 24);
}

TEST(SensorSampleReport, layout_is_the_seventeen_byte_sample_report) {
  const auto r = sensor_sample_report(0x00061A80, true);
  ASSERT_EQ(r.size(), 17u);
  const SensorDecode d = decode_sensor_report(r);
  EXPECT_EQ(d.action, SensorAction::SampleBlock);
  // The block as the heart side reads it: bytes 1-4 the reading, byte 5 contact, 6-7 auxiliary.
  const std::uint8_t* block = r.data() + d.block_offset;
  EXPECT_EQ(block[1] | (block[2] << 8) | (block[3] << 16) | (block[4] << 24), 400000);
  EXPECT_LT(block[5], 20);
  EXPECT_EQ(block[6], 0x10);
  EXPECT_EQ(block[7], 0x00);
  EXPECT_GE(sensor_sample_report(1, false)[8], 20);
  EXPECT_EQ(decode_sensor_report(heart_page_report()).action, SensorAction::ShowHeartPage);
}

TEST(PpgToSensorSamples, default_rate_is_the_sensors_true_clock) {
  const auto samples = ppg_to_sensor_samples(sine(10), {});
  ASSERT_EQ(samples.size(), 218u);  // 0 .. 10 s at 21.7 a second
  EXPECT_EQ(samples[1].t_ms, 46);
  EXPECT_EQ(samples[2].t_ms, 92);
  EXPECT_EQ(samples[217].t_ms, 10000);  // 217 / 21.7 s exactly, no drift from rounding each step
}

TEST(PpgToSensorSamples, twenty_per_second_centred_and_scaled_by_the_percentile_range) {
  const auto samples = ppg_to_sensor_samples(sine(10), {}, 20.0);
  ASSERT_EQ(samples.size(), 201u);  // 0 .. 10 s every 50 ms
  EXPECT_EQ(samples[1].t_ms, 50);
  EXPECT_EQ(samples.back().t_ms, 10000);
  // The sine's 5-95 % range is close to 2 * 0.988 * amplitude; a crest is z = +0.506 -> 400000 - 2024.
  std::uint32_t lo = UINT32_MAX, hi = 0;
  for (const auto& s : samples) {
    lo = std::min(lo, s.reading);
    hi = std::max(hi, s.reading);
  }
  EXPECT_NEAR(static_cast<double>(lo), 400000 - 2024, 30);
  EXPECT_NEAR(static_cast<double>(hi), 400000 + 2024, 30);
  // Inverted: the sine's crest at 0.25 s is the reading's trough.
  EXPECT_LT(samples[5].reading, 400000u - 1900);
}

TEST(PpgToSensorSamples, sparse_jittery_recording_is_interpolated) {
  const std::vector<PpgSample> rec{{0.0, 0.0}, {0.033, 1.0}, {0.7, 2.0}, {1.0, 3.0}};
  const auto samples = ppg_to_sensor_samples(rec, {}, 20.0);
  ASSERT_EQ(samples.size(), 21u);
  // Median 1.5, 5-95 % range 2.7. At 0.4 s (no two samples within 25 ms) the line between
  // (0.033, 1) and (0.7, 2) gives 1.5502: z = 0.0186, reading 400000 - 74.
  EXPECT_NEAR(static_cast<double>(samples[8].reading), 400000 - 74, 1);
  EXPECT_GT(samples[0].reading, samples[20].reading);  // a rising value reads lower
}

TEST(PpgToSensorSamples, lifted_thumb_reads_flat_without_contact) {
  const auto samples = ppg_to_sensor_samples(sine(4), {{1.0, false}, {2.0, true}}, 20.0);
  EXPECT_TRUE(samples[19].contact);   // 0.95 s
  EXPECT_FALSE(samples[20].contact);  // 1.0 s
  EXPECT_FALSE(samples[39].contact);
  EXPECT_EQ(samples[30].reading, 400000u);
  EXPECT_TRUE(samples[40].contact);  // 2.0 s
}

TEST(PpgToSensorSamples, first_change_is_a_rest_thumb_arrives_then) {
  const auto samples = ppg_to_sensor_samples(sine(2), {{0.5, true}}, 20.0);
  EXPECT_FALSE(samples[0].contact);
  EXPECT_TRUE(samples[10].contact);
}

TEST(PpgToSensorSamples, flat_recording_stays_at_the_centre) {
  const auto samples = ppg_to_sensor_samples({{0, 5}, {1, 5}}, {}, 20.0);
  for (const auto& s : samples)
    EXPECT_EQ(s.reading, 400000u);
}

TEST(PpgToCapture, output_parses_as_a_capture_of_sample_reports) {
  PpgCaptureOptions options;
  options.offset_ms = 1000;
  options.page_signal = true;
  options.rate_hz = 20.0;
  const auto parsed = parse_capture(ppg_to_capture(sine(1), options, "sine.csv"), "out");
  ASSERT_TRUE(parsed) << parsed.error().message;
  ASSERT_EQ(parsed->size(), 22u);
  EXPECT_EQ((*parsed)[0].t_ms, 1000);
  EXPECT_EQ(decode_sensor_report(std::get<HidReport>((*parsed)[0].report).bytes).action,
            SensorAction::ShowHeartPage);
  EXPECT_EQ((*parsed)[21].t_ms, 2000);
  const auto& last = std::get<HidReport>((*parsed)[21].report).bytes;
  EXPECT_EQ(decode_sensor_report(last).action, SensorAction::SampleBlock);
  EXPECT_NEAR(static_cast<double>(reading_of(last)), 400000, 100);
}

TEST(PpgCsv, header_samples_and_errors) {
  const auto ok = parse_ppg_csv("t_s,ppg\n0.000,2.35\n0.039,2.444\r\n\n", "r.csv");
  ASSERT_TRUE(ok) << ok.error().message;
  ASSERT_EQ(ok->size(), 2u);
  EXPECT_DOUBLE_EQ((*ok)[1].t_s, 0.039);
  EXPECT_DOUBLE_EQ((*ok)[1].value, 2.444);
  EXPECT_EQ(parse_ppg_csv("time,ppg\n0,1\n", "r.csv").error().message.rfind("r.csv:1: ", 0), 0u);
  EXPECT_EQ(parse_ppg_csv("t_s,ppg\n0,1\n0,2\n", "r.csv").error().message.rfind("r.csv:3: ", 0), 0u);
  EXPECT_EQ(parse_ppg_csv("t_s,ppg\n0,1\n1;2\n", "r.csv").error().message.rfind("r.csv:3: ", 0), 0u);
  EXPECT_FALSE(parse_ppg_csv("t_s,ppg\n", "r.csv"));
  EXPECT_FALSE(parse_ppg_csv("t_s,ppg\n0,nan\n", "r.csv"));
}

TEST(Quantile, interpolates_between_sorted_neighbours) {
  EXPECT_DOUBLE_EQ(quantile({3, 1, 2, 4}, 0.5), 2.5);
  EXPECT_DOUBLE_EQ(quantile({1, 2, 3, 4, 5}, 0.05), 1.2);
  EXPECT_DOUBLE_EQ(quantile({7}, 0.95), 7);
}

}  // namespace
}  // namespace corvane
