#include "fft.h"

#include <cmath>

namespace corvane::ostrel {

void init_fft_tables(FftTables& t) {
  for (int i = 0; i < kFftSize / 2; ++i) {
    const float w = 2.0f * 3.14159265f * static_cast<float>(i) / static_cast<float>(kFftSize);
    t.cos_table[i] = std::cos(w);
    t.sin_table[i] = std::sin(w);
  }
  for (int i = 0; i < kFftSize; ++i) {
    int r = 0;
    for (int bit = 0; bit < 7; ++bit) {
      if (i & (1 << bit)) r |= 1 << (6 - bit);
    }
    t.bit_reverse[i] = static_cast<unsigned char>(r);
  }
}

void fft128(const FftTables& t, float* re, float* im) {
  for (int i = 0; i < kFftSize; ++i) {
    const int j = t.bit_reverse[i];
    if (j > i) {
      float tmp = re[i];
      re[i] = re[j];
      re[j] = tmp;
      tmp = im[i];
      im[i] = im[j];
      im[j] = tmp;
    }
  }
  for (int len = 2; len <= kFftSize; len <<= 1) {
    const int half = len / 2;
    const int stride = kFftSize / len;
    for (int start = 0; start < kFftSize; start += len) {
      for (int k = 0; k < half; ++k) {
        // e^{-i 2 pi k / len}
        const float wr = t.cos_table[k * stride];
        const float wi = -t.sin_table[k * stride];
        const int a = start + k;
        const int b = a + half;
        const float tr = re[b] * wr - im[b] * wi;
        const float ti = re[b] * wi + im[b] * wr;
        re[b] = re[a] - tr;
        im[b] = im[a] - ti;
        re[a] += tr;
        im[a] += ti;
      }
    }
  }
}

}  // namespace corvane::ostrel
