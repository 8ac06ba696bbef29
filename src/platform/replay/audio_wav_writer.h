#pragma once
// Writes 16-bit PCM to a WAV file as it comes, keeping the header's sizes right after every write so that the
// file is valid whenever it is read.
#include <cstdint>
#include <cstdio>
#include <string>

namespace platform {

class WavWriter {
 public:
  WavWriter() = default;
  ~WavWriter();
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  bool Open(const std::string& path, uint32_t rate, uint16_t channels);
  void Write(const int16_t* samples, uint32_t frames);
  void Close();

 private:
  void PatchSizes();
  std::FILE* file_ = nullptr;
  uint16_t channels_ = 2;
  uint64_t frames_ = 0;
};

}  // namespace platform
