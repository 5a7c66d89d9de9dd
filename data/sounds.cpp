// The join click: two short knocks of wood on wood, the second softer, as a
// piece drops into its neighbour and settles.
#include <algorithm>
#include <cmath>
#include <vector>

#include "data/draw_kit.h"
#include "data/makedata.h"
#include "data/wave_writer.h"

namespace makedata {

namespace {
constexpr int kRate = 22050;

struct Mode {
  float frequency, amplitude, decaySeconds;
};

// One knock starting at the given sample: a few inharmonic resonances of a
// small hard-wood body and a very short burst of filtered noise for the
// contact.
void AddKnock(std::vector<float>& out, int start, float gain, float pitch, Lcg& noise) {
  const Mode modes[] = {
      {1250.0f, 1.0f, 0.011f},   {2710.0f, 0.55f, 0.006f}, {4180.0f, 0.30f, 0.0035f},
      {5630.0f, 0.15f, 0.0022f}, {430.0f, 0.35f, 0.018f},
  };
  float lowPassed = 0;
  for (int i = start; i < static_cast<int>(out.size()); ++i) {
    const float t = static_cast<float>(i - start) / kRate;
    float v = 0;
    for (const Mode& m : modes)
      v += m.amplitude * std::exp(-t / m.decaySeconds) * std::sin(2 * kPi * m.frequency * pitch * t);
    if (t < 0.0025f) {
      lowPassed += 0.45f * (noise.Range(-1, 1) - lowPassed);
      v += 0.8f * lowPassed * std::exp(-t / 0.0007f);
    }
    const float attack = Clamp01(t / 0.0004f);  // no step at the very start
    out[i] += gain * attack * v;
  }
}
}  // namespace

void MakeSounds(Output& out) {
  std::vector<float> samples(static_cast<size_t>(kRate * 0.14f), 0.0f);
  Lcg noise(77);
  AddKnock(samples, 0, 1.0f, 1.0f, noise);
  AddKnock(samples, static_cast<int>(kRate * 0.031f), 0.42f, 1.06f, noise);
  float peak = 0;
  for (float v : samples) peak = std::max(peak, std::fabs(v));
  const int n = static_cast<int>(samples.size());
  for (int i = 0; i < n; ++i) {
    const float tail = SmoothStep(static_cast<float>(n), n * 0.8f, static_cast<float>(i));
    samples[i] = samples[i] / peak * 0.72f * tail;
  }
  out.SaveBytes(EncodeWavePcm16(samples, kRate), "Sounds/ConnectPieces.wav");
}

}  // namespace makedata
