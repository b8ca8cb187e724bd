#pragma once

namespace corvane::ostrel {

inline constexpr int kFftSize = 128;

// Twiddle factors and the bit-reversal order of a 128-point transform, computed once.
struct FftTables final {
  float cos_table[kFftSize / 2];
  float sin_table[kFftSize / 2];
  unsigned char bit_reverse[kFftSize];
};

void init_fft_tables(FftTables& t);

// In-place radix-2 decimation-in-time FFT of 128 complex points (forward, no scaling).
void fft128(const FftTables& t, float* re, float* im);

}  // namespace corvane::ostrel
