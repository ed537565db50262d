#include "measurement/FFTBase.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace vintor {

void TFFTBase::PrepareTables(int n) {
  if (n == n_) return;
  n_ = n;
  const size_t size = static_cast<size_t>(2 * n) + 1;
  negSin_.assign(size, 0.0f);
  cos_.assign(size, 0.0f);
  for (size_t i = 1; i < size; ++i) {
    const double a = std::numbers::pi / static_cast<double>(i);
    negSin_[i] = static_cast<float>(-std::sin(a));
    cos_[i] = static_cast<float>(std::cos(a));
  }
}

void TFFTBase::Transform(FftValue* data, int n, int stages) {
  if (n < 1 || (n & (n - 1)) != 0 || (1 << stages) != n) return;
  PrepareTables(n);

  // Bit-reversed order by pairwise swaps.
  for (int i = 0, j = 0; i < n; ++i) {
    if (i < j) std::swap(data[i], data[j]);
    int bit = n >> 1;
    while (bit >= 1 && (j & bit)) {
      j ^= bit;
      bit >>= 1;
    }
    j |= bit;
  }

  for (int s = 1; s <= stages; ++s) {
    const int half = 1 << (s - 1);
    const int span = 2 * half;
    const float wr = cos_[static_cast<size_t>(half)];
    const float wi = negSin_[static_cast<size_t>(half)];
    float ur = 1.0f, ui = 0.0f;
    for (int k = 0; k < half; ++k) {
      for (int i = k; i < n; i += span) {
        FftValue& a = data[i];
        FftValue& b = data[i + half];
        const float tr = b.re * ur - b.im * ui;
        const float ti = b.re * ui + b.im * ur;
        b.re = a.re - tr;
        b.im = a.im - ti;
        a.re += tr;
        a.im += ti;
      }
      const float nr = ur * wr - ui * wi;
      ui = ur * wi + ui * wr;
      ur = nr;
    }
  }

  const auto scale = static_cast<float>(1.0 / std::sqrt(static_cast<double>(n)));
  for (int i = 0; i < n; ++i) {
    data[i].re *= scale;
    data[i].im *= scale;
    data[i].re = std::sqrt(data[i].re * data[i].re + data[i].im * data[i].im);
  }
}

std::vector<float> ScaledMagnitudes(const double* values, int n) {
  std::vector<FftValue> work(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) work[static_cast<size_t>(i)].re = static_cast<float>(values[i]);
  int stages = 0;
  while ((1 << stages) < n) ++stages;
  thread_local TFFTBase fft;  // keeps its tables for the next transform of the same size
  fft.Transform(work.data(), n, stages);
  std::vector<float> out(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) out[static_cast<size_t>(i)] = work[static_cast<size_t>(i)].re;
  return out;
}

}  // namespace vintor
