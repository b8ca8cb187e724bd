// The detection library's whole C interface driven as a careless caller might: any sequence of its
// functions with any values, the work memory and the analysis memory sized exactly as asked (so a
// write past them is caught) and freed as soon as the caller may free them. Nothing may crash or hang.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "ostrel.h"

namespace {

using Bytes = std::unique_ptr<std::uint8_t[]>;

Bytes allocate(int bytes) {
  return std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(bytes));
}

// Opens with one of the three defaults or a parameter block, asking the size of the work memory first
// as a caller must. Returns the work memory, or nothing when the library was open already or refused.
Bytes open_detector(FuzzedDataProvider& input) {
  const int kind = input.ConsumeIntegralInRange<int>(0, 4);
  std::vector<std::uint8_t> param(OSTREL_PARAM_BYTES);
  if (kind == 3) {  // the library's own block with a few bytes changed
    HRD_GetHRDParam(param.data());
    for (int n = input.ConsumeIntegralInRange<int>(1, 8); n > 0; --n)
      param[input.ConsumeIntegralInRange<std::size_t>(0, param.size() - 1)] =
          input.ConsumeIntegral<std::uint8_t>();
  } else if (kind == 4) {  // any bytes
    const auto given = input.ConsumeBytes<std::uint8_t>(OSTREL_PARAM_BYTES);
    std::copy(given.begin(), given.end(), param.begin());
  }
  const auto open = [&](void* work) {
    switch (kind) {
      case 0:
        return HRDOpen_i20Hz(work);
      case 1:
        return HRDOpen_i200Hz(work);
      case 2:
        return HRDOpen_i1000Hz(work);
      default:
        return HRDOpenParam(param.data(), work);
    }
  };
  const int bytes = open(nullptr);
  if (bytes <= 0) return nullptr;
  Bytes work = allocate(bytes);
  open(work.get());
  return work;
}

float any_float(FuzzedDataProvider& input) {
  // Mostly readings of the sensor's range, now and then any bit pattern (NaN, infinities, denormals).
  if (input.ConsumeBool()) return static_cast<float>(input.ConsumeIntegralInRange<std::int32_t>(0, 1 << 24));
  return input.ConsumeFloatingPoint<float>();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  Bytes work;
  std::vector<Bytes> analysis;  // every block handed to HRV_SetMemory, kept until it is taken back
  std::vector<float> floats;
  std::vector<int> ints;

  while (input.remaining_bytes() > 0) {
    switch (input.ConsumeIntegralInRange<int>(0, 40)) {
      case 0:
        if (Bytes opened = open_detector(input)) work = std::move(opened);
        break;
      case 1:
        HRDReset();
        break;
      case 2:  // the caller may free the work memory once it is closed
        HRDClose();
        work.reset();
        break;
      case 3:
      case 4:
      case 5:
      case 6: {  // a run of readings, the bulk of any real use
        const bool enable = input.ConsumeIntegralInRange<int>(0, 15) != 0;
        const float level = input.ConsumeBool() ? 1.0f : any_float(input);
        for (int n = input.ConsumeIntegralInRange<int>(1, 400); n > 0 && input.remaining_bytes() > 0; --n)
          HRDProcessTop(0, enable ? 1 : static_cast<char>(input.ConsumeIntegral<std::int8_t>()),
                        any_float(input), level);
        break;
      }
      case 7: {
        std::uint8_t param[OSTREL_PARAM_BYTES];
        HRD_GetHRDParam(param);
        (void)HRD_ALG_VERSION();
        break;
      }
      case 8:
        (void)HRD_Get_HRAvg();
        (void)HRD_Get_ReadyFlag();
        (void)HRD_GetSignalQualtiy();
        (void)HRD_Get_MotionFlag();
        (void)HRD_Get_HR_STD();
        (void)HRD_Get_Kurtosis();
        (void)HRD_Get_PI_Index();
        break;
      case 9:
        HRD_Set_FreqOffset(input.ConsumeFloatingPoint<float>());
        break;
      case 10:
        HRD_Set_Diff_Time(input.ConsumeFloatingPoint<float>(), input.ConsumeIntegral<int>());
        break;
      case 11:
        (void)HRD_Set_SkipCounterTh(input.ConsumeIntegral<int>());
        break;
      case 12: {
        int v[7];
        for (int& x : v)
          x = input.ConsumeIntegral<int>();
        HRD_Set_PeakProcessReadyCounter_Th(v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
        break;
      }
      case 13:
        HRD_Set_HeartRateNotReadyBoundary(input.ConsumeIntegral<int>(), input.ConsumeIntegral<int>());
        break;
      case 14:
        HRD_Set_Support2PeakCounterOutuptRatio(input.ConsumeIntegral<int>());
        break;
      case 15: {
        int v[6];
        for (int& x : v)
          x = input.ConsumeIntegral<int>();
        HRD_Set_ReadyCounter_Th(v[0], v[1], v[2], v[3], v[4], v[5]);
        break;
      }
      case 16:
        HRD_Set_PI_Calculate(input.ConsumeFloatingPoint<float>(), input.ConsumeFloatingPoint<float>());
        break;
      case 17:
        if (input.ConsumeBool())
          HRD_Set_Debug_On();
        else
          HRD_Set_Debug_Off();
        break;
      case 18:
        if (input.ConsumeBool())
          (void)HRD_Set_SDNN_On();
        else
          HRD_Set_SDNN_Off();
        break;
      case 19:
        if (input.ConsumeBool())
          (void)HRD_Set_LHRatio_On();
        else
          HRD_Set_LHRatio_Off();
        break;
      case 20:
        (void)HRD_SDNNProcess();
        (void)HRD_GetSDNN();
        (void)HRD_GetSDNNRawDat();
        (void)HRD_GetSDNNSNR();
        (void)HRD_Get_SDNN_HRAvg();
        (void)HRD_Get_SDNNKurtosis();
        break;
      case 21: {  // buffers exactly as long as the count just asked
        floats.assign(static_cast<std::size_t>(std::max(HRD_GetRRIDataNumber(), 0)), 0.0f);
        (void)HRD_GetRRIDataBuffer(floats.empty() ? nullptr : floats.data());
        floats.assign(static_cast<std::size_t>(std::max(HRD_GetSDNNRRIDataNumber(), 0)), 0.0f);
        (void)HRD_GetSDNNRRIDataBuffer(floats.empty() ? nullptr : floats.data());
        break;
      }
      case 22: {  // the analysis memory as asked, or a smaller block than asked
        const int asked = HRV_GetMemorySize();
        const int bytes =
            input.ConsumeBool() ? asked : input.ConsumeIntegralInRange<int>(0, std::max(asked, 0));
        if (bytes <= 0) {
          HRV_SetMemory(nullptr, 0);
          break;
        }
        analysis.push_back(allocate(bytes));
        HRV_SetMemory(analysis.back().get(), bytes);
        break;
      }
      case 23: {
        float out[3];
        (void)HRD_HRVProcess(input.ConsumeBool() ? out : nullptr);
        (void)HRD_GetHRV_LF();
        (void)HRD_GetHRV_HF();
        (void)HRD_GetHRV_LHRatio();
        (void)HRD_GetHRV_SDNN();
        (void)HRD_GetHRV_CVRR();
        break;
      }
      case 24: {
        double first = 0, second = 0, third = 0;
        const int age = input.ConsumeIntegral<int>();
        HRD_GetSDNNBoundary(age, &first, &second, &third);
        (void)HRD_GetSDNNLevel(age, input.ConsumeFloatingPoint<double>());
        break;
      }
      case 25:
        NI_HRDProcess();
        (void)HRD_Get_NI_SDNN();
        (void)HRD_Get_NI_SDNNKurtosis();
        (void)HRD_Get_NI_SDNN_HRAvg();
        break;
      case 26:
        (void)OFM_DisplayOpen();
        break;
      case 27:
        (void)OFM_DisplayReset();
        break;
      case 28:
        OFM_DisplayClose();
        break;
      case 29:
      case 30: {  // output buffers exactly as long as the count given
        const int count = input.ConsumeIntegralInRange<int>(-2, 8);
        floats.assign(static_cast<std::size_t>(std::max(count, 0)), 0.0f);
        ints.assign(static_cast<std::size_t>(std::max(count, 0)), 0);
        for (int n = input.ConsumeIntegralInRange<int>(1, 200); n > 0 && input.remaining_bytes() > 0; --n) {
          if (input.ConsumeBool())
            (void)OFM_DisplayProcess(any_float(input), floats.empty() ? nullptr : floats.data(), count);
          else
            (void)OFM_DisplayProcess_int(input.ConsumeIntegral<int>(), ints.empty() ? nullptr : ints.data(),
                                         count);
        }
        break;
      }
      case 31: {
        const int count = input.ConsumeIntegralInRange<int>(-2, 4096);
        floats.assign(static_cast<std::size_t>(std::max(count, 0)), 0.0f);
        (void)OFM_GetDisplayData(floats.empty() ? nullptr : floats.data(), count);
        break;
      }
      default:  // plain readings weigh the most
        HRDProcessTop(0, 1, any_float(input), 1.0f);
        break;
    }
  }
  // Back to the state a new process starts in: closed, no analysis memory, display off, debug off.
  HRDClose();
  HRV_SetMemory(nullptr, 0);
  OFM_DisplayClose();
  HRD_Set_Debug_Off();
  HRD_Set_SDNN_Off();
  HRD_Set_LHRatio_Off();
  return 0;
}
