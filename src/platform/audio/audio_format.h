#pragma once
// The sound device's vocabulary: PCM formats, buffer descriptions, capabilities, flags and result codes, at the
// numbers the sound engine writes and compares against.
#include <cstdint>

namespace platform {

class Event;

using SoundResult = uint32_t;
constexpr SoundResult DS_OK = 0;
constexpr SoundResult E_NOINTERFACE = 0x80004002;
constexpr SoundResult DSERR_INVALIDPARAM = 0x80070057;
constexpr SoundResult DSERR_OUTOFMEMORY = 0x8007000E;
constexpr SoundResult DSERR_CONTROLUNAVAIL = 0x8878001E;
constexpr SoundResult DSERR_INVALIDCALL = 0x88780032;
constexpr SoundResult DSERR_PRIOLEVELNEEDED = 0x88780046;
constexpr SoundResult DSERR_BADFORMAT = 0x88780064;
constexpr SoundResult DSERR_NODRIVER = 0x88780078;
constexpr SoundResult DSERR_UNINITIALIZED = 0x887800AA;
inline constexpr bool Succeeded(SoundResult r) { return (r & 0x80000000u) == 0; }

constexpr uint16_t WAVE_FORMAT_PCM = 1;

// The 18-byte wave format record.
struct WaveFormat {
  uint16_t wFormatTag = 0;
  uint16_t nChannels = 0;
  uint32_t nSamplesPerSec = 0;
  uint32_t nAvgBytesPerSec = 0;
  uint16_t nBlockAlign = 0;
  uint16_t wBitsPerSample = 0;
  uint16_t cbSize = 0;
};
constexpr uint32_t kWaveFormatBytes = 18;

// A PCM format record; block align and byte rate follow from the other three.
inline WaveFormat PcmFormat(uint16_t channels, uint16_t bitsPerSample, uint32_t samplesPerSec) {
  WaveFormat f;
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = channels;
  f.nSamplesPerSec = samplesPerSec;
  f.wBitsPerSample = bitsPerSample;
  f.nBlockAlign = static_cast<uint16_t>(uint32_t{channels} * bitsPerSample / 8);  // no int overflow for any input
  f.nAvgBytesPerSec = samplesPerSec * f.nBlockAlign;
  return f;
}

// Buffer description; dwSize must hold the record's size, kSoundBufferDescSize, or the request is refused.
constexpr uint32_t kSoundBufferDescSize = 36;
struct SoundBufferDesc {
  uint32_t dwSize = 0;
  uint32_t dwFlags = 0;
  uint32_t dwBufferBytes = 0;
  uint32_t dwReserved = 0;
  const WaveFormat* lpwfxFormat = nullptr;
};

constexpr uint32_t DSBCAPS_PRIMARYBUFFER = 0x00000001;
constexpr uint32_t DSBCAPS_STATIC = 0x00000002;
constexpr uint32_t DSBCAPS_LOCSOFTWARE = 0x00000008;
constexpr uint32_t DSBCAPS_CTRLPOSITIONNOTIFY = 0x00000100;

constexpr uint32_t kSoundBufferCapsSize = 20;
struct SoundBufferCaps {
  uint32_t dwSize = 0;
  uint32_t dwFlags = 0;
  uint32_t dwBufferBytes = 0;
  uint32_t dwUnlockTransferRate = 0;
  uint32_t dwPlayCpuOverhead = 0;
};

constexpr uint32_t DSCAPS_PRIMARYMONO = 0x00000001;
constexpr uint32_t DSCAPS_PRIMARYSTEREO = 0x00000002;
constexpr uint32_t DSCAPS_PRIMARY8BIT = 0x00000004;
constexpr uint32_t DSCAPS_PRIMARY16BIT = 0x00000008;
constexpr uint32_t DSCAPS_CONTINUOUSRATE = 0x00000010;
constexpr uint32_t DSCAPS_EMULDRIVER = 0x00000020;
constexpr uint32_t DSCAPS_SECONDARYMONO = 0x00000100;
constexpr uint32_t DSCAPS_SECONDARYSTEREO = 0x00000200;
constexpr uint32_t DSCAPS_SECONDARY8BIT = 0x00000400;
constexpr uint32_t DSCAPS_SECONDARY16BIT = 0x00000800;

// Device capabilities: 24 words, 96 bytes, as the engine sizes the record.
constexpr uint32_t kDeviceCapsSize = 96;
struct DeviceCaps {
  uint32_t dwSize = 0;
  uint32_t dwFlags = 0;
  uint32_t dwMinSecondarySampleRate = 0;
  uint32_t dwMaxSecondarySampleRate = 0;
  uint32_t dwPrimaryBuffers = 0;
  uint32_t dwMaxHwMixingAllBuffers = 0;
  uint32_t dwMaxHwMixingStaticBuffers = 0;
  uint32_t dwMaxHwMixingStreamingBuffers = 0;
  uint32_t dwFreeHwMixingAllBuffers = 0;
  uint32_t dwFreeHwMixingStaticBuffers = 0;
  uint32_t dwFreeHwMixingStreamingBuffers = 0;
  uint32_t dwMaxHw3DAllBuffers = 0;
  uint32_t dwMaxHw3DStaticBuffers = 0;
  uint32_t dwMaxHw3DStreamingBuffers = 0;
  uint32_t dwFreeHw3DAllBuffers = 0;
  uint32_t dwFreeHw3DStaticBuffers = 0;
  uint32_t dwFreeHw3DStreamingBuffers = 0;
  uint32_t dwTotalHwMemBytes = 0;
  uint32_t dwFreeHwMemBytes = 0;
  uint32_t dwMaxContigFreeHwMemBytes = 0;
  uint32_t dwUnlockTransferRateHwBuffers = 0;
  uint32_t dwPlayCpuOverheadSwBuffers = 0;
  uint32_t dwReserved1 = 0;
  uint32_t dwReserved2 = 0;
};
static_assert(sizeof(DeviceCaps) == kDeviceCapsSize);

constexpr uint32_t DSSCL_NORMAL = 1;
constexpr uint32_t DSSCL_PRIORITY = 2;
constexpr uint32_t DSSCL_EXCLUSIVE = 3;
constexpr uint32_t DSSCL_WRITEPRIMARY = 4;

constexpr uint32_t DSBPLAY_LOOPING = 0x00000001;

constexpr uint32_t DSBSTATUS_PLAYING = 0x00000001;
constexpr uint32_t DSBSTATUS_LOOPING = 0x00000004;

constexpr uint32_t DSBLOCK_ENTIREBUFFER = 0x00000002;

constexpr uint32_t DSBFREQUENCY_MIN = 100;
constexpr uint32_t DSBFREQUENCY_MAX = 100000;
constexpr uint32_t DSBSIZE_MIN = 4;
constexpr uint32_t DSBSIZE_MAX = 0x0FFFFFFF;

constexpr uint32_t DSBPN_OFFSETSTOP = 0xFFFFFFFF;
struct PositionNotify {
  uint32_t dwOffset = 0;
  Event* hEventNotify = nullptr;
};

}  // namespace platform
