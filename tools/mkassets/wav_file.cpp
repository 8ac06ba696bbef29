#include "wav_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <vector>

#include "little_endian.h"

namespace mkassets {

namespace {

void PutId(std::vector<uint8_t>& out, const char* id) { out.insert(out.end(), id, id + 4); }

}  // namespace

bool WriteWav(const std::filesystem::path& file, const PcmFormat& format, const Signal& left, const Signal& right) {
  const size_t frames = left.size();
  const int bytesPerSample = format.bits / 8;
  const int blockAlign = format.channels * bytesPerSample;
  std::vector<uint8_t> data;
  data.reserve(frames * blockAlign + 1);
  Noise dither(0x5EED);
  for (size_t i = 0; i < frames; ++i)
    for (int ch = 0; ch < format.channels; ++ch) {
      const double v = std::clamp(static_cast<double>(ch == 0 ? left[i] : right[i]), -1.0, 1.0);
      if (format.bits == 8) {
        const double tpdf = (dither.Uniform() - dither.Uniform()) * 0.5;
        data.push_back(static_cast<uint8_t>(std::clamp(std::lround(128 + v * 127 + tpdf), 1L, 255L)));
      } else {
        Put16(data, static_cast<uint16_t>(static_cast<int16_t>(std::lround(v * 32767))));
      }
    }
  // Readers that walk chunks do not skip pad bytes, so keep every chunk even.
  if (data.size() % 2 != 0) data.push_back(format.bits == 8 ? 128 : 0);

  std::vector<uint8_t> out;
  PutId(out, "RIFF");
  Put32(out, static_cast<uint32_t>(4 + 8 + 18 + 8 + data.size()));
  PutId(out, "WAVE");
  PutId(out, "fmt ");
  Put32(out, 18);
  Put16(out, 1);  // PCM
  Put16(out, static_cast<uint32_t>(format.channels));
  Put32(out, static_cast<uint32_t>(format.rate));
  Put32(out, static_cast<uint32_t>(format.rate * blockAlign));
  Put16(out, static_cast<uint32_t>(blockAlign));
  Put16(out, static_cast<uint32_t>(format.bits));
  Put16(out, 0);  // no extra format bytes
  PutId(out, "data");
  Put32(out, static_cast<uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  std::ofstream f(file, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  return static_cast<bool>(f);
}

}  // namespace mkassets
