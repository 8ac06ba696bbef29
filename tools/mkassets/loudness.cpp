#include "loudness.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

namespace mkassets {

namespace {

constexpr double kMinusInfinity = -std::numeric_limits<double>::infinity();

double ToDb(double linear) { return linear > 0 ? 20 * std::log10(linear) : kMinusInfinity; }

class Meter {
 public:
  Meter(int rate, int mode) : state_(ebur128_init(2, static_cast<unsigned long>(rate), mode)) {
    if (!state_) throw std::runtime_error("the loudness meter does not start");
  }
  ~Meter() { ebur128_destroy(&state_); }
  Meter(const Meter&) = delete;
  Meter& operator=(const Meter&) = delete;

  void Add(const StereoSignal& s, size_t from, size_t frames) {
    interleaved_.resize(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
      interleaved_[2 * i] = from + i < s.left.size() ? s.left[from + i] : 0.0f;
      interleaved_[2 * i + 1] = from + i < s.right.size() ? s.right[from + i] : 0.0f;
    }
    ebur128_add_frames_float(state_, interleaved_.data(), frames);
  }
  double Momentary() {
    double v = kMinusInfinity;
    return ebur128_loudness_momentary(state_, &v) == EBUR128_SUCCESS ? v : kMinusInfinity;
  }
  double Integrated() {
    double v = kMinusInfinity;
    return ebur128_loudness_global(state_, &v) == EBUR128_SUCCESS ? v : kMinusInfinity;
  }
  double TruePeak() {
    double left = 0, right = 0;
    ebur128_true_peak(state_, 0, &left);
    ebur128_true_peak(state_, 1, &right);
    return ToDb(std::max(left, right));
  }

 private:
  ebur128_state* state_;
  std::vector<float> interleaved_;
};

}  // namespace

double DbToGain(double db) { return std::pow(10.0, db / 20); }

Loudness Measure(const StereoSignal& s, int rate) {
  Meter meter(rate, EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK);
  const size_t frames = s.left.size(), step = static_cast<size_t>(rate / 100);
  // The window slides on 10 ms at a time and out past the end, so even a sound shorter than the window is
  // measured as the ear would hear it among silence.
  const size_t padded = frames + static_cast<size_t>(0.4 * rate);
  Loudness out;
  out.momentaryMax = kMinusInfinity;
  for (size_t at = 0; at < padded; at += step) {
    meter.Add(s, at, std::min(step, padded - at));
    out.momentaryMax = std::max(out.momentaryMax, meter.Momentary());
  }
  out.integrated = meter.Integrated();
  out.truePeak = meter.TruePeak();
  double sumLeft = 0, sumRight = 0;
  for (size_t i = 0; i < frames; ++i) {
    sumLeft += s.left[i];
    sumRight += s.right[i];
  }
  out.dc = frames ? ToDb(std::max(std::fabs(sumLeft), std::fabs(sumRight)) / static_cast<double>(frames))
                  : kMinusInfinity;
  out.seconds = static_cast<double>(frames) / rate;
  return out;
}

double TruePeak(const StereoSignal& s, int rate) {
  Meter meter(rate, EBUR128_MODE_TRUE_PEAK);
  meter.Add(s, 0, s.left.size());
  return meter.TruePeak();
}

}  // namespace mkassets
