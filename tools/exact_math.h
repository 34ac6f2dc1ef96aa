// Sine, cosine, exponential, logarithm and power for the bell sounds, built
// from +, -, *, / alone. IEEE 754 rounds each of those exactly, so every
// x86-64 machine gets the same bits from these, where the C library picks its
// versions of sin or exp at run time by the processor and may differ from
// one machine to the next in the last bit. Accurate to a few units in the
// last place over the ranges the sounds use (|x| up to a few hundred).
//
// Whatever includes this must be compiled without contraction into fused
// multiply-adds and with SSE arithmetic (no x87 excess precision); the
// pragmas and checks below see to it.
#pragma once

#include <cfloat>

#if defined(__clang__)
#pragma clang fp contract(off)
#elif defined(__GNUC__)
#pragma GCC optimize("fp-contract=off")
#endif
#if FLT_EVAL_METHOD != 0
#error "the bell sounds need doubles evaluated as doubles (SSE, not x87)"
#endif
#ifdef __FAST_MATH__
#error "the bell sounds need IEEE arithmetic: build them without -ffast-math"
#endif

namespace exactmath {

// ln 2 and pi/2 in two parts, the first with its low bits zero, so that a
// small whole multiple of it is exact (the split is the one fdlibm uses).
inline constexpr double kLn2High = 6.93147180369123816490e-01;
inline constexpr double kLn2Low = 1.90821492927058770002e-10;
inline constexpr double kHalfPiHigh = 1.57079632673412561417e+00;
inline constexpr double kHalfPiLow = 6.07710050650619224932e-11;

// The whole number nearest x (halves away from zero), for |x| < 2^31.
inline long Nearest(double x) { return static_cast<long>(x < 0 ? x - 0.5 : x + 0.5); }

// x times 2^k, exact while the result is a normal number.
inline double Scale(double x, long k) {
  for (; k > 0; --k) x *= 2.0;
  for (; k < 0; ++k) x *= 0.5;
  return x;
}

inline double Exp(double x) {
  if (x > 709.0) return DBL_MAX * 2.0;  // infinity
  if (x < -745.0) return 0.0;
  // x = k ln 2 + r with |r| <= ln 2 / 2, then e^r by its series to r^16/16!.
  const long k = Nearest(x / kLn2High);
  const double r = (x - k * kLn2High) - k * kLn2Low;
  double sum = 1.0;
  for (int n = 16; n >= 1; --n) sum = 1.0 + r / n * sum;
  return Scale(sum, k);
}

// For x > 0.
inline double Log(double x) {
  // x = 2^e m with m within sqrt(1/2) and sqrt(2); then
  // ln m = 2 (s + s^3/3 + s^5/5 + ...) with s = (m - 1) / (m + 1), |s| < 0.172.
  long e = 0;
  double m = x;
  while (m > 1.4142135623730951) m *= 0.5, ++e;
  while (m < 0.7071067811865476) m *= 2.0, --e;
  const double s = (m - 1.0) / (m + 1.0);
  const double z = s * s;
  double sum = 1.0 / 29.0;
  for (int n = 13; n >= 0; --n) sum = 1.0 / (2 * n + 1) + z * sum;
  return e * kLn2High + (e * kLn2Low + 2.0 * s * sum);
}

// For base > 0.
inline double Pow(double base, double exponent) { return Exp(exponent * Log(base)); }

namespace detail {
// sin and cos of |r| <= pi/4 (a little more is fine) by their series, to the
// r^21 and r^20 terms.
inline double SinNear(double r) {
  const double z = r * r;
  double sum = 1.0;
  for (int n = 20; n >= 2; n -= 2) sum = 1.0 - z / (n * (n + 1)) * sum;
  return r * sum;
}
inline double CosNear(double r) {
  const double z = r * r;
  double sum = 1.0;
  for (int n = 19; n >= 1; n -= 2) sum = 1.0 - z / (n * (n + 1)) * sum;
  return sum;
}
// x = k pi/2 + r with |r| <= pi/4; the quarter turn k modulo 4.
inline double Reduce(double x, int& quarter) {
  const long k = Nearest(x / kHalfPiHigh);
  quarter = static_cast<int>(((k % 4) + 4) % 4);
  return (x - k * kHalfPiHigh) - k * kHalfPiLow;
}
}  // namespace detail

inline double Sin(double x) {
  int quarter = 0;
  const double r = detail::Reduce(x, quarter);
  switch (quarter) {
    case 0: return detail::SinNear(r);
    case 1: return detail::CosNear(r);
    case 2: return -detail::SinNear(r);
    default: return -detail::CosNear(r);
  }
}

inline double Cos(double x) {
  int quarter = 0;
  const double r = detail::Reduce(x, quarter);
  switch (quarter) {
    case 0: return detail::CosNear(r);
    case 1: return -detail::SinNear(r);
    case 2: return -detail::CosNear(r);
    default: return detail::SinNear(r);
  }
}

}  // namespace exactmath
