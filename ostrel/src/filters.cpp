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
