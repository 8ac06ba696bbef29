#pragma once
// MP3 files for the music tests: silent frames made byte by byte (any machine), and a tone encoded by the
// `lame` program where it is installed.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace music_test {

// MPEG-1 layer III, 44100 Hz, 128 kbit/s, stereo, no padding: 417-byte frames of 1152 samples. With empty side
// information every frame decodes to silence.
inline std::string WriteSilentMp3(const std::string& path, int frames) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return "";
  std::vector<unsigned char> frame(417, 0);
  frame[0] = 0xFF;
  frame[1] = 0xFB;
  frame[2] = 0x90;
  frame[3] = 0x00;
  for (int i = 0; i < frames; ++i) std::fwrite(frame.data(), 1, frame.size(), f);
  std::fclose(f);
  return path;
}

inline std::string WriteBrokenMp3(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return "";
  for (int i = 0; i < 5000; ++i) std::fputc((i * 37) % 200 + 1, f);  // never a frame sync
  std::fclose(f);
  return path;
}

// A 440 Hz tone of `seconds`, or "" without an encoder.
inline std::string WriteToneMp3(const std::string& dir, double seconds) {
  if (std::system("command -v lame >/dev/null 2>&1") != 0) return "";
  const std::string wav = dir + "/tone.wav", mp3 = dir + "/tone.mp3";
  std::FILE* f = std::fopen(wav.c_str(), "wb");
  if (!f) return "";
  const unsigned rate = 44100, frames = static_cast<unsigned>(seconds * rate), bytes = frames * 2;
  auto put32 = [&](unsigned v) { std::fwrite(&v, 4, 1, f); };
  auto put16 = [&](unsigned short v) { std::fwrite(&v, 2, 1, f); };
  std::fwrite("RIFF", 1, 4, f);
  put32(36 + bytes);
  std::fwrite("WAVEfmt ", 1, 8, f);
  put32(16);
  put16(1);
  put16(1);
  put32(rate);
  put32(rate * 2);
  put16(2);
  put16(16);
  std::fwrite("data", 1, 4, f);
  put32(bytes);
  for (unsigned i = 0; i < frames; ++i) put16(static_cast<unsigned short>(static_cast<short>(12000 * std::sin(i * 2 * M_PI * 440 / rate))));
  std::fclose(f);
  const std::string command = "lame --quiet -b 128 " + wav + " " + mp3;
  return std::system(command.c_str()) == 0 ? mp3 : "";
}

}  // namespace music_test
