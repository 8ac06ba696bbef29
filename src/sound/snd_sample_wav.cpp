// The WAV reading half of SNDSample: RIFF chunks in any order, PCM format, an optional sampler loop, the data.
#include <cstring>

#include "sound/snd_sample.h"
#include "sound/zk_sound.h"

namespace {

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

bool ReadExactly(platform::FileHandle file, void* buffer, uint32_t bytes) {
  uint32_t got = 0;
  return platform::ReadFile(file, buffer, bytes, &got) && got == bytes;
}

}  // namespace

int SNDSample::FindRiffChunk(platform::FileHandle file, uint32_t id, _ChunkHeader* header, uint32_t start) {
  if (platform::SetFilePointer(file, static_cast<int32_t>(start), platform::FILE_BEGIN) ==
      platform::INVALID_SET_FILE_POINTER) {
    return 0;
  }
  uint64_t position = start;
  for (;;) {
    uint8_t raw[8];
    if (!ReadExactly(file, raw, 8)) return 0;
    header->dwID = Le32(raw);
    header->dwSize = Le32(raw + 4);
    if (header->dwID == id) return 1;
    // The skip is taken as an unsigned size from the chunk's body: a huge size in a broken file ends the search
    // instead of moving backwards and reading the same header for ever.
    position += 8 + static_cast<uint64_t>(header->dwSize);
    if (position > 0x7FFFFFFF) return 0;
    if (platform::SetFilePointer(file, static_cast<int32_t>(position), platform::FILE_BEGIN) ==
        platform::INVALID_SET_FILE_POINTER) {
      return 0;
    }
  }
}

int SNDSample::IsWavFile(platform::FileHandle file) {
  uint8_t riff[12];
  if (!ReadExactly(file, riff, 12)) return 0;
  if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) return 0;
  const uint32_t start = platform::SetFilePointer(file, 0, platform::FILE_CURRENT);
  _ChunkHeader header;
  if (!FindRiffChunk(file, RiffCode('f', 'm', 't', ' '), &header, start)) return 0;
  uint8_t fmt[20];
  if (!ReadExactly(file, fmt, 20) || Le16(fmt) != 1) return 0;
  // Only what a sound buffer can play, checked before the loop shift and the block size are worked out from it.
  const uint16_t channels = Le16(fmt + 2), bits = Le16(fmt + 14);
  if ((channels != 1 && channels != 2) || (bits != 8 && bits != 16)) return 0;
  m_dwChannels = channels;
  m_dwSamplesPerSec = Le32(fmt + 4);
  m_dwBitsPerSample = bits;
  SetFlags(SNDSAMPLE_FORMAT_READ);
  if (FindRiffChunk(file, RiffCode('s', 'm', 'p', 'l'), &header, start)) {
    uint8_t sampler[36];
    uint8_t loop[24];
    if (ReadExactly(file, sampler, 36) && Le32(sampler + 28) != 0 && ReadExactly(file, loop, 24)) {
      const uint32_t shift = m_dwBitsPerSample / 8;
      m_dwLoopStart = Le32(loop + 8) << shift;
      m_dwLoopEnd = Le32(loop + 12) << shift;
      m_dwLoopCount = Le32(loop + 20);
      SetFlags(SNDSAMPLE_LOOPING);
    }
  }
  if (!FindRiffChunk(file, RiffCode('d', 'a', 't', 'a'), &header, start)) return 0;
  m_dwDataSize = header.dwSize;
  return 1;
}

platform::FileHandle SNDSample::OpenSoundFile(const char* name) {
  platform::FileHandle file = ZKSound::g_pOpenFile(name);
  if (file == platform::INVALID_HANDLE_VALUE) return file;
  if (!IsWavFile(file)) {
    ZKSound::g_pCloseFile(file);
    return platform::INVALID_HANDLE_VALUE;
  }
  return file;
}

int SNDSample::AllocDSBuffer(uint32_t bytes) {
  if (!ZKSound::g_lpDSound) return 0;
  platform::WaveFormat format = platform::PcmFormat(static_cast<uint16_t>(m_dwChannels),
                                                    static_cast<uint16_t>(m_dwBitsPerSample), m_dwSamplesPerSec);
  platform::SoundBufferDesc desc;
  desc.dwSize = platform::kSoundBufferDescSize;
  desc.dwFlags = platform::DSBCAPS_STATIC | platform::DSBCAPS_CTRLPOSITIONNOTIFY;
  desc.dwBufferBytes = bytes ? bytes : m_dwDataSize;
  desc.lpwfxFormat = &format;
  platform::SoundBuffer* buffer = nullptr;
  if (!platform::Succeeded(ZKSound::g_lpDSound->CreateSoundBuffer(&desc, &buffer))) return 0;
  m_lpBuffer = buffer;
  return 1;
}

int SNDSample::LoadSample(const char* name, uint32_t id) {
  platform::FileHandle file = OpenSoundFile(name);
  if (file == platform::INVALID_HANDLE_VALUE) return 0;
  auto fail = [&] {
    // The buffer made for a load that fails is released here; the slot clean-up does not release buffers.
    if (m_lpBuffer) {
      m_lpBuffer->Release();
      m_lpBuffer = nullptr;
    }
    ZKSound::g_pCloseFile(file);
    return 0;
  };
  // A data size beyond the end of the file fails here, before a buffer of that size is made and cleared.
  const uint32_t dataStart = platform::SetFilePointer(file, 0, platform::FILE_CURRENT);
  const uint32_t fileEnd = platform::SetFilePointer(file, 0, platform::FILE_END);
  if (dataStart == platform::INVALID_SET_FILE_POINTER || fileEnd == platform::INVALID_SET_FILE_POINTER ||
      fileEnd < dataStart || fileEnd - dataStart < m_dwDataSize ||
      platform::SetFilePointer(file, static_cast<int32_t>(dataStart), platform::FILE_BEGIN) != dataStart) {
    return fail();
  }
  if (!AllocDSBuffer(0)) return fail();
  void* part1 = nullptr;
  uint32_t bytes1 = 0;
  if (!platform::Succeeded(m_lpBuffer->Lock(0, m_dwDataSize, &part1, &bytes1, nullptr, nullptr, 0))) return fail();
  uint32_t got = 0;
  const bool read = platform::ReadFile(file, part1, m_dwDataSize, &got);
  m_lpBuffer->Unlock(part1, got, nullptr, 0);
  if (!read || got < m_dwDataSize) return fail();
  if (id != SNDSAMPLE_KEEP_ID) m_dwID = id;
  ZKSound::g_pCloseFile(file);
  return 1;
}
