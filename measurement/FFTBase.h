#pragma once

// Radix-2 decimation-in-time transform in single precision, as the spectra and the harmonics
// analysis use it: forward, no window, scaled by 1/sqrt(N), magnitudes left in the real parts.

#include <vector>

namespace vintor {

struct FftValue {
  float re = 0.0f;
  float im = 0.0f;
};

class TFFTBase {
 public:
  // Transforms data[0 .. n-1] in place; n is a power of two and stages = log2(n).
  // Afterwards data[l].re = |X[l]| / sqrt(n); the imaginary parts are scaled but meaningless.
  void Transform(FftValue* data, int n, int stages);

 private:
  void PrepareTables(int n);

  int n_ = 0;
  // -sin(pi / i) and cos(pi / i) for i = 0 .. 2n (index 0 unused); kept while n stays the same.
  std::vector<float> negSin_;
  std::vector<float> cos_;
};

// Magnitudes / sqrt(n) of n real values: the transform applied to a copy.
std::vector<float> ScaledMagnitudes(const double* values, int n);

}  // namespace vintor
