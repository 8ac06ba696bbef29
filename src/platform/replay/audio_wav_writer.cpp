#include "platform/replay/audio_wav_writer.h"

#include <cstring>

namespace platform {

namespace {
void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
}  // namespace

WavWriter::~WavWriter() { Close(); }

bool WavWriter::Open(const std::string& path, uint32_t rate, uint16_t channels) {
  Close();
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) return false;
  channels_ = channels;
  frames_ = 0;
  uint8_t header[44];
  std::memcpy(header, "RIFF", 4);
  Put32(header + 4, 36);
  std::memcpy(header + 8, "WAVEfmt ", 8);
  Put32(header + 16, 16);
  Put16(header + 20, 1);
  Put16(header + 22, channels);
  Put32(header + 24, rate);
  Put32(header + 28, rate * channels * 2u);
  Put16(header + 32, channels * 2u);
  Put16(header + 34, 16);
  std::memcpy(header + 36, "data", 4);
  Put32(header + 40, 0);
  std::fwrite(header, 1, sizeof header, file_);
  std::fflush(file_);
  return true;
}

void WavWriter::Write(const int16_t* samples, uint32_t frames) {
  if (!file_ || frames == 0) return;
  // WAV data is little-endian, as this machine is.
  std::fwrite(samples, sizeof(int16_t) * channels_, frames, file_);
  frames_ += frames;
  PatchSizes();
}

void WavWriter::PatchSizes() {
  const uint64_t bytes = frames_ * channels_ * 2u;
  const uint32_t data = bytes > 0xFFFFFFF0u ? 0xFFFFFFF0u : static_cast<uint32_t>(bytes);
  uint8_t size[4];
  long end = std::ftell(file_);
  Put32(size, data + 36);
  std::fseek(file_, 4, SEEK_SET);
  std::fwrite(size, 1, 4, file_);
  Put32(size, data);
  std::fseek(file_, 40, SEEK_SET);
  std::fwrite(size, 1, 4, file_);
  std::fseek(file_, end, SEEK_SET);
  std::fflush(file_);
}

void WavWriter::Close() {
  if (!file_) return;
  PatchSizes();
  std::fclose(file_);
  file_ = nullptr;
}

}  // namespace platform
