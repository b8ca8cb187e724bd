// The library's C interface over one detector instance kept in static data.
#include <cmath>
#include <cstring>

#include "detector.h"
#include "display.h"
#include "hrv.h"
#include "ostrel.h"
#include "params.h"

#if defined(_MSC_VER) && defined(_M_IX86)
#include <float.h>
#endif

namespace {

using corvane::ostrel::Column;
using corvane::ostrel::Detector;
using corvane::ostrel::kRriCapacity;
using corvane::ostrel::Params;

// Loaded with the 20 Hz defaults, so that setters, getters and the display work before any open.
Detector make_detector() {
  Detector d;
  d.params = corvane::ostrel::default_params(Column::k20Hz);
  return d;
}
Detector g_detector = make_detector();
bool g_open = false;
bool g_debug = false;
corvane::ostrel::DisplayFilter g_display;

// Results of the last HRD_SDNNProcess / HRD_HRVProcess.
float g_sdnn_rri[kRriCapacity];
int g_sdnn_rri_count = 0;
corvane::ostrel::SdnnResult g_sdnn;
int g_sdnn_published = -1;
corvane::ostrel::HrvResult g_hrv;
bool g_hrv_valid = false;
float* g_hrv_memory = nullptr;
int g_hrv_memory_floats = 0;
float g_rri_scratch[kRriCapacity];

void set_single_precision() {
#if defined(_MSC_VER) && defined(_M_IX86)
  unsigned int previous = 0;
  _controlfp_s(&previous, _PC_24, _MCW_PC);
#endif
  // On x86-64 and ARM float arithmetic runs in single precision already (SSE / VFP).
}

void set_lock_loss_limits(int a, int b, int c) {
  g_detector.params.lock_loss_limit[0] = static_cast<uint8_t>(a);
  g_detector.params.lock_loss_limit[1] = static_cast<uint8_t>(b);
  g_detector.params.lock_loss_limit[2] = static_cast<uint8_t>(c);
}

// Truncates toward zero, saturating where the value does not fit an int.
int to_int(float v) {
  if (std::isnan(v)) return 0;
  if (!(v > -2147483520.0f)) return -2147483520;
  if (!(v < 2147483520.0f)) return 2147483520;
  return static_cast<int>(v);
}

uint8_t to_byte(int v) {
  return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}
uint16_t to_u16(int v) {
  return static_cast<uint16_t>(v < 0 ? 0 : (v > 65535 ? 65535 : v));
}

int open_with(const Params& params, void* work) {
  if (g_open) return 0;
  set_single_precision();
  g_detector.params = params;
  // Debug mode set before the open survives it and switches motion detection off.
  if (g_debug) {
    g_detector.params.debug_on = 1;
    g_detector.params.motion_on = 0;
  }
  corvane::ostrel::sanitize(g_detector.params);
  g_detector.lh_mode = false;
  if (work == nullptr) return Detector::work_bytes(g_detector.params);
  g_detector.attach(work);
  g_open = true;
  g_sdnn_rri_count = 0;
  g_sdnn = {};
  g_sdnn_published = -1;
  g_hrv = {};
  g_hrv_valid = false;
  return 0;
}

float mean_rri() {
  const int n = g_detector.rri_count();
  if (n <= 0) return 0.0f;
  g_detector.copy_rri(g_rri_scratch);
  float sum = 0.0f;
  for (int i = 0; i < n; ++i)
    sum += g_rri_scratch[i];
  return sum / static_cast<float>(n);
}

}  // namespace

extern "C" {

OSTREL_API int OSTREL_CALL HRDOpen_i20Hz(void* work) {
  return open_with(corvane::ostrel::default_params(Column::k20Hz), work);
}
OSTREL_API int OSTREL_CALL HRDOpen_i200Hz(void* work) {
  return open_with(corvane::ostrel::default_params(Column::k200Hz), work);
}
OSTREL_API int OSTREL_CALL HRDOpen_i1000Hz(void* work) {
  return open_with(corvane::ostrel::default_params(Column::k1000Hz), work);
}
OSTREL_API int OSTREL_CALL HRDOpenParam(const void* param, void* work) {
  if (g_open) return 0;
  Params p = corvane::ostrel::default_params(Column::k20Hz);
  if (param != nullptr) std::memcpy(&p, param, sizeof p);
  return open_with(p, work);
}

OSTREL_API int OSTREL_CALL HRDReset(void) {
  if (g_open) g_detector.reset();
  return 0;
}

OSTREL_API void OSTREL_CALL HRDClose(void) {
  g_open = false;
  // The caller frees the work memory next: nothing may read the intervals kept there any more.
  g_detector.detach();
}

OSTREL_API char OSTREL_CALL HRDProcessTop(int /*reserved*/, char enable, float value, float level) {
  if (!g_open) return 0;
  return g_detector.process(enable, value, level);
}

OSTREL_API int OSTREL_CALL HRD_ALG_VERSION(void) {
  return OSTREL_ALG_VERSION;
}

OSTREL_API void* OSTREL_CALL HRD_GetHRDParam(void* param) {
  if (param != nullptr) std::memcpy(param, &g_detector.params, sizeof(Params));
  return param;
}

OSTREL_API int OSTREL_CALL HRD_Get_HRAvg(void) {
  const float j = g_detector.shown_interval() / g_detector.params.freq_offset;
  if (!(j > 0.0f)) return 0;
  return to_int(60000.0f / j);
}

OSTREL_API char OSTREL_CALL HRD_Get_ReadyFlag(void) {
  return g_detector.ready() ? 1 : 0;
}

OSTREL_API int OSTREL_CALL HRD_GetSignalQualtiy(void) {
  return g_detector.ready() ? static_cast<int>(g_detector.quality()) : 0;
}

OSTREL_API char OSTREL_CALL HRD_Get_MotionFlag(void) {
  return g_detector.motion() ? 1 : 0;
}
OSTREL_API float OSTREL_CALL HRD_Get_HR_STD(void) {
  return g_detector.hr_std();
}
OSTREL_API float OSTREL_CALL HRD_Get_Kurtosis(void) {
  return g_detector.kurtosis();
}

OSTREL_API float OSTREL_CALL HRD_Get_PI_Index(void) {
  const float v = g_detector.perfusion_index();
  return v < 0.0f ? v * -100.0f : v;
}

OSTREL_API void OSTREL_CALL HRD_Set_FreqOffset(float offset) {
  // A sample clock off by more than a factor of ten is not a clock correction; such values are ignored.
  if (std::isfinite(offset) && offset >= 0.1f && offset <= 10.0f) g_detector.params.freq_offset = offset;
}

OSTREL_API void OSTREL_CALL HRD_Set_Diff_Time(float measured_time, int time_unit) {
  if (!std::isfinite(measured_time) || measured_time <= 0.0f || time_unit <= 0) return;
  const float seconds = measured_time / static_cast<float>(time_unit);
  const float nominal =
      1000.0f / static_cast<float>(g_detector.params.input_rate > 0 ? g_detector.params.input_rate : 20);
  const float offset = nominal / seconds;
  if (std::isfinite(offset) && offset > 0.1f && offset < 10.0f) g_detector.params.freq_offset = offset;
}

OSTREL_API int OSTREL_CALL HRD_Set_SkipCounterTh(int threshold) {
  g_detector.params.skip_threshold = to_byte(threshold);
  return g_detector.params.skip_threshold;
}

OSTREL_API void OSTREL_CALL HRD_Set_PeakProcessReadyCounter_Th(int a, int b, int c, int d, int lo, int mid,
                                                               int hi) {
  Params& p = g_detector.params;
  p.ready_count[0] = to_byte(a);
  p.ready_count[1] = to_byte(b);
  p.ready_count[2] = to_byte(c);
  p.ready_count[3] = to_byte(d);
  p.band_edge[0] = to_u16(lo);
  p.band_edge[1] = to_u16(mid);
  p.band_edge[2] = to_u16(hi);
}

OSTREL_API void OSTREL_CALL HRD_Set_HeartRateNotReadyBoundary(int upper, int lower) {
  Params& p = g_detector.params;
  p.not_ready_upper_bpm = upper;
  p.not_ready_lower_bpm = lower;
  corvane::ostrel::sanitize(p);
}

OSTREL_API void OSTREL_CALL HRD_Set_Support2PeakCounterOutuptRatio(int on) {
  g_detector.params.two_peak_option = to_byte(on);
}

OSTREL_API void OSTREL_CALL HRD_Set_ReadyCounter_Th(int t0, int t1, int t2, int t3, int t4, int t5) {
  const int t[6] = {t0, t1, t2, t3, t4, t5};
  for (int i = 0; i < 6; ++i) {
    g_detector.params.ready_counter_th[2 * i] = to_byte(t[i]);
    g_detector.params.ready_counter_th[2 * i + 1] = to_byte(t[i]);
  }
}

OSTREL_API void OSTREL_CALL HRD_Set_PI_Calculate(float scale, float min_level) {
  if (std::isfinite(scale)) g_detector.params.pi_scale = scale;
  if (std::isfinite(min_level)) g_detector.params.pi_min_level = min_level;
}

OSTREL_API void OSTREL_CALL HRD_Set_Debug_On(void) {
  g_debug = true;
  g_detector.params.debug_on = 1;
}
OSTREL_API void OSTREL_CALL HRD_Set_Debug_Off(void) {
  g_debug = false;
  g_detector.params.debug_on = 0;
}

OSTREL_API int OSTREL_CALL HRD_Set_SDNN_On(void) {
  g_detector.sdnn_mode = true;
  set_lock_loss_limits(3, 3, 5);
  return 3;
}
OSTREL_API void OSTREL_CALL HRD_Set_SDNN_Off(void) {
  g_detector.sdnn_mode = false;
  if (!g_detector.lh_mode) set_lock_loss_limits(35, 50, 25);
}
OSTREL_API int OSTREL_CALL HRD_Set_LHRatio_On(void) {
  g_detector.lh_mode = true;
  set_lock_loss_limits(3, 3, 5);
  return 3;
}
OSTREL_API void OSTREL_CALL HRD_Set_LHRatio_Off(void) {
  g_detector.lh_mode = false;
  if (!g_detector.sdnn_mode) set_lock_loss_limits(15, 30, 25);
}

OSTREL_API int OSTREL_CALL HRD_SDNNProcess(void) {
  const int n = g_detector.rri_count();
  g_detector.copy_rri(g_rri_scratch);
  const int min_intervals = g_detector.params.ready_counter_th[0];
  if (n < 2 || n < min_intervals) {
    g_sdnn = {};
    g_sdnn_rri_count = 0;
    g_sdnn_published = -1;
    return -1;
  }
  g_sdnn = corvane::ostrel::compute_sdnn(g_rri_scratch, n, g_detector.params.ready_counter_th[2], g_sdnn_rri);
  g_sdnn_rri_count = g_sdnn.kept;
  g_sdnn_published = to_int(g_sdnn.published + 0.5f);
  return g_sdnn_published;
}

OSTREL_API int OSTREL_CALL HRD_GetSDNN(void) {
  return g_detector.sdnn_mode ? g_sdnn_published : -1;
}
OSTREL_API int OSTREL_CALL HRD_GetSDNNRawDat(void) {
  return g_detector.sdnn_mode && g_sdnn_published >= 0 ? to_int(g_sdnn.raw_sdnn + 0.5f) : -1;
}
OSTREL_API int OSTREL_CALL HRD_GetSDNNSNR(void) {
  return g_detector.sdnn_mode && g_sdnn_published >= 0 ? static_cast<int>(g_sdnn.kept_percent) : -1;
}
OSTREL_API int OSTREL_CALL HRD_Get_SDNN_HRAvg(void) {
  const float mean = mean_rri();
  return mean > 0.0f ? to_int(60000.0f / mean) : 0;
}
OSTREL_API float OSTREL_CALL HRD_Get_SDNNKurtosis(void) {
  return g_sdnn.kurtosis;
}

OSTREL_API int OSTREL_CALL HRD_GetRRIDataNumber(void) {
  return g_detector.rri_count();
}
OSTREL_API int OSTREL_CALL HRD_GetRRIDataBuffer(float* out) {
  if (out == nullptr) return 0;
  g_detector.copy_rri(out);
  return 1;
}
OSTREL_API int OSTREL_CALL HRD_GetSDNNRRIDataNumber(void) {
  return g_detector.sdnn_mode ? g_sdnn_rri_count : 0;
}
OSTREL_API int OSTREL_CALL HRD_GetSDNNRRIDataBuffer(float* out) {
  if (!g_detector.sdnn_mode || out == nullptr) return 0;
  for (int i = 0; i < g_sdnn_rri_count; ++i)
    out[i] = g_sdnn_rri[i];
  return 1;
}

OSTREL_API int OSTREL_CALL HRV_GetMemorySize(void) {
  const int n = g_detector.rri_count();
  g_detector.copy_rri(g_rri_scratch);
  return corvane::ostrel::hrv_memory_floats(g_rri_scratch, n) * static_cast<int>(sizeof(float));
}
OSTREL_API void OSTREL_CALL HRV_SetMemory(void* memory, int bytes) {
  g_hrv_memory = static_cast<float*>(memory);
  g_hrv_memory_floats = memory != nullptr && bytes > 0 ? bytes / static_cast<int>(sizeof(float)) : 0;
}
OSTREL_API int OSTREL_CALL HRD_HRVProcess(float* out) {
  g_hrv_valid = false;
  if (!g_detector.lh_mode) return 0;
  const int n = g_detector.rri_count();
  g_detector.copy_rri(g_rri_scratch);
  if (!corvane::ostrel::compute_hrv(g_rri_scratch, n, g_hrv_memory, g_hrv_memory_floats, g_hrv)) return 0;
  g_hrv_valid = true;
  if (out != nullptr) {
    out[0] = g_hrv.lf;
    out[1] = g_hrv.hf;
    out[2] = g_hrv.ratio;
  }
  return 1;
}
OSTREL_API float OSTREL_CALL HRD_GetHRV_LF(void) {
  return g_detector.lh_mode && g_hrv_valid ? g_hrv.lf : -1.0f;
}
OSTREL_API float OSTREL_CALL HRD_GetHRV_HF(void) {
  return g_detector.lh_mode && g_hrv_valid ? g_hrv.hf : -1.0f;
}
OSTREL_API float OSTREL_CALL HRD_GetHRV_LHRatio(void) {
  return g_detector.lh_mode && g_hrv_valid ? g_hrv.ratio : -1.0f;
}
OSTREL_API float OSTREL_CALL HRD_GetHRV_SDNN(void) {
  return g_detector.sdnn_mode && g_sdnn_published >= 0 ? g_sdnn.filtered_sdnn : -1.0f;
}
OSTREL_API float OSTREL_CALL HRD_GetHRV_CVRR(void) {
  if (!g_detector.sdnn_mode || g_sdnn_published < 0 || g_sdnn.mean_kept <= 0.0f) return -1.0f;
  return g_sdnn.filtered_sdnn * 100.0f / g_sdnn.mean_kept;
}

OSTREL_API void OSTREL_CALL HRD_GetSDNNBoundary(int age, double* first, double* second, double* third) {
  const double m = age < 67 ? age : 67;
  if (first != nullptr) *first = 65.7 - 0.6 * m;
  if (second != nullptr) *second = 54.13 - 0.6 * m;
  if (third != nullptr) *third = 42.5 - 0.6 * m;
}

OSTREL_API int OSTREL_CALL HRD_GetSDNNLevel(int age, double sdnn) {
  double first = 0.0, second = 0.0, third = 0.0;
  HRD_GetSDNNBoundary(age, &first, &second, &third);
  if (sdnn >= first) return 0;
  if (sdnn >= second) return 1;
  if (sdnn >= third) return 2;
  return 3;
}

static float no_value(void) {
  return 0.0f;
}
OSTREL_API float OSTREL_CALL HRD_Get_NI_SDNN(void) {
  return no_value();
}
OSTREL_API float OSTREL_CALL HRD_Get_NI_SDNNKurtosis(void) {
  return no_value();
}
OSTREL_API float OSTREL_CALL HRD_Get_NI_SDNN_HRAvg(void) {
  return no_value();
}

static void nothing(void) {}
OSTREL_API void OSTREL_CALL NI_HRDProcess(void) {
  nothing();
}
OSTREL_API void OSTREL_CALL OFM_DisplayClose(void) {
  nothing();
}

OSTREL_API int OSTREL_CALL OFM_DisplayOpen(void) {
  if (!g_detector.params.display_on) return 0;
  g_display.open(static_cast<float>(g_detector.params.input_rate > 0 ? g_detector.params.input_rate : 20));
  return 1;
}
OSTREL_API int OSTREL_CALL OFM_DisplayReset(void) {
  g_display.reset();
  return 0;
}
OSTREL_API int OSTREL_CALL OFM_DisplayProcess(float sample, float* out, int count) {
  float y = 0.0f;
  if (!g_display.process(sample, y)) return 0;
  if (out == nullptr || count < 1) return 0;
  out[0] = y;
  return 1;
}
OSTREL_API int OSTREL_CALL OFM_DisplayProcess_int(int sample, int* out, int count) {
  float y = 0.0f;
  if (!g_display.process(static_cast<float>(sample), y)) return 0;
  if (out == nullptr || count < 1) return 0;
  out[0] = to_int(std::round(y));
  return 1;
}
OSTREL_API int OSTREL_CALL OFM_GetDisplayData(float* out, int count) {
  return g_display.copy_latest(out, count);
}

}  // extern "C"
