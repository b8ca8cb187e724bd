#include "filters.h"

namespace corvane::ostrel {
namespace {

struct Complex {
  float re, im;
};
Complex mul(Complex a, Complex b) {
  return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}
Complex add(Complex a, Complex b) {
  return {a.re + b.re, a.im + b.im};
}
Complex scale(Complex a, float s) {
  return {a.re * s, a.im * s};
}
float abs(Complex a) {
  return std::sqrt(a.re * a.re + a.im * a.im);
}

}  // namespace

void make_input_lowpass(Biquad (&s)[3]) {
  const float coeff[3][4] = {{0.6714972f, 0.0693087f, -0.3416432f, 0.7311781f},
                             {0.4814143f, 0.6666667f, -0.0376946f, 0.3214659f},
                             {0.3475834f, 1.7488731f, 0.2438572f, 0.0591888f}};
  for (int i = 0; i < 3; ++i) {
    s[i] = Biquad{};
    s[i].g = coeff[i][0];
    s[i].b1 = coeff[i][1];
    s[i].b2 = 1.0f;
    s[i].a1 = coeff[i][2];
    s[i].a2 = coeff[i][3];
  }
}

void make_input_highpass(Biquad& second, FirstOrder& first) {
  second = Biquad{};
  second.g = 0.9686038f;
  second.b1 = -2.0f;
  second.b2 = 1.0f;
  second.a1 = -1.9352944f;
  second.a2 = 0.9391208f;
  first = FirstOrder{};
  first.g = 0.9695312f;
  first.b1 = -1.0f;
  first.a1 = -0.9390625f;
}

void design_adaptive_lowpass(Biquad (&s)[2], float fc, float rate) {
  constexpr float kC1 = 2.6106980f;
  constexpr float kC2 = 3.4117999f;
  const float prod = kC2 - 2.0f;
  const float disc = std::sqrt(kC1 * kC1 - 4.0f * prod);
  design_lowpass_section(s[0], 0.5f * (kC1 + disc), fc, rate);
  design_lowpass_section(s[1], 0.5f * (kC1 - disc), fc, rate);
}

float section_gain(const Biquad& s, float f, float fs) {
  const float w = 2.0f * 3.14159265f * f / fs;
  const Complex z1{std::cos(w), -std::sin(w)};
  const Complex z2 = mul(z1, z1);
  const Complex num = add(add(Complex{s.b0, 0.0f}, scale(z1, s.b1)), scale(z2, s.b2));
  const Complex den = add(add(Complex{1.0f, 0.0f}, scale(z1, s.a1)), scale(z2, s.a2));
  return s.g * abs(num) / abs(den);
}

float section_gain(const FirstOrder& s, float f, float fs) {
  const float w = 2.0f * 3.14159265f * f / fs;
  const Complex z1{std::cos(w), -std::sin(w)};
  const Complex num = add(Complex{s.b0, 0.0f}, scale(z1, s.b1));
  const Complex den = add(Complex{1.0f, 0.0f}, scale(z1, s.a1));
  return s.g * abs(num) / abs(den);
}

}  // namespace corvane::ostrel
