#include "platform/audio/audio_buffer.h"


#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/timer/event.h"
#include "platform/audio/sound_focus.h"

namespace platform {

struct SoundBuffer::SharedData {
  std::unique_ptr<uint8_t[]> bytes;
  uint32_t size = 0;
};

namespace {

std::atomic<uint32_t> g_liveBuffers{0};
std::atomic<uint64_t> g_createdBuffers{0};

constexpr uint32_t kStateMask = DSBSTATUS_PLAYING | DSBSTATUS_LOOPING;

template <int Bits, int Channels>
inline void ReadFrame(const uint8_t* p, int32_t& left, int32_t& right) {
  if constexpr (Bits == 8) {
    left = (static_cast<int32_t>(p[0]) - 128) << 8;
    right = Channels == 2 ? (static_cast<int32_t>(p[1]) - 128) << 8 : left;
  } else {
    int16_t l;
    std::memcpy(&l, p, 2);
    left = l;
    if constexpr (Channels == 2) {
      int16_t r;
      std::memcpy(&r, p + 2, 2);
      right = r;
    } else {
      right = left;
    }
  }
}

bool ValidPcm(const WaveFormat& f) {
  return f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
         (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) && f.nSamplesPerSec >= DSBFREQUENCY_MIN &&
         f.nSamplesPerSec <= DSBFREQUENCY_MAX && f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8;
}

}  // namespace

SoundBuffer::SoundBuffer(AudioMixer& mixer, bool primary, uint32_t flags, const WaveFormat& format,
                         std::shared_ptr<SharedData> data)
    : mixer_(mixer), primary_(primary), flags_(flags), format_(format), data_(std::move(data)) {
  if (data_) {
    bytes_ = data_->bytes.get();
    size_ = data_->size;
    frameCount_ = size_ / format_.nBlockAlign;
    const int kind = (format_.wBitsPerSample == 16 ? 2 : 0) + (format_.nChannels == 2 ? 1 : 0);
    static constexpr MixFunction kMixers[] = {&MixFrames<8, 1>, &MixFrames<8, 2>, &MixFrames<16, 1>,
                                              &MixFrames<16, 2>};
    mixFrames_ = kMixers[kind];
    // Made here, on the control side: the mixing thread never allocates. Without one (out of memory) the buffer
    // still plays, interpolated.
    if (format_.nSamplesPerSec != mixer_.rate()) {
      resampler_ = CreateResampler(format_.nChannels, format_.nSamplesPerSec, mixer_.rate());
    }
  }
  g_liveBuffers.fetch_add(1);
  g_createdBuffers.fetch_add(1);
}

SoundBuffer::~SoundBuffer() {
  DestroyResampler(resampler_);
  g_liveBuffers.fetch_sub(1);
}

uint32_t SoundBuffer::LiveCount() { return g_liveBuffers.load(); }
uint64_t SoundBuffer::CreatedCount() { return g_createdBuffers.load(); }

SoundBuffer* SoundBuffer::CreatePrimary(AudioMixer& mixer, uint32_t flags) {
  WaveFormat format;
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = 22050;
  format.wBitsPerSample = 8;
  format.nBlockAlign = 2;
  format.nAvgBytesPerSec = 44100;
  return new SoundBuffer(mixer, true, flags, format, nullptr);
}

SoundBuffer* SoundBuffer::CreateSecondary(AudioMixer& mixer, uint32_t flags, const WaveFormat& format,
                                          uint32_t bytes) {
  if (!ValidPcm(format) || bytes < DSBSIZE_MIN || bytes > DSBSIZE_MAX || bytes < format.nBlockAlign) return nullptr;
  auto data = std::make_shared<SharedData>();
  data->bytes.reset(new (std::nothrow) uint8_t[bytes]);
  if (!data->bytes) return nullptr;
  data->size = bytes;
  // A new buffer is silent.
  std::memset(data->bytes.get(), format.wBitsPerSample == 8 ? 0x80 : 0, bytes);
  return new SoundBuffer(mixer, false, flags, format, std::move(data));
}

SoundBuffer* SoundBuffer::Duplicate() {
  if (primary_) return nullptr;
  return new SoundBuffer(mixer_, false, flags_, format_, data_);
}

uint32_t SoundBuffer::AddRef() { return references_.fetch_add(1) + 1; }

uint32_t SoundBuffer::Release() {
  uint32_t left = references_.fetch_sub(1) - 1;
  if (left == 0) {
    mixer_.RemoveSource(this);  // returns once the mixer cannot be reading it
    uint32_t count = notificationCount_.load();
    for (uint32_t i = 0; i < count; ++i) ReleaseEvent(notifications_[i].event.load());
    delete this;
  }
  return left;
}

SoundResult SoundBuffer::GetCaps(SoundBufferCaps* caps) const {
  if (!caps || caps->dwSize != kSoundBufferCapsSize) return DSERR_INVALIDPARAM;
  caps->dwFlags = flags_ | (primary_ ? 0 : DSBCAPS_LOCSOFTWARE);
  caps->dwBufferBytes = primary_ ? AudioMixer::kOutputBufferFrames * 4 : size_;
  caps->dwUnlockTransferRate = 0;
  caps->dwPlayCpuOverhead = 0;
  return DS_OK;
}

SoundResult SoundBuffer::GetFormat(WaveFormat* format, uint32_t sizeAllocated, uint32_t* sizeWritten) const {
  if (!format) {
    if (!sizeWritten) return DSERR_INVALIDPARAM;
    *sizeWritten = kWaveFormatBytes;
    return DS_OK;
  }
  if (sizeAllocated < 16) return DSERR_INVALIDPARAM;
  uint16_t extra = format->cbSize;
  *format = format_;
  if (sizeAllocated < kWaveFormatBytes) format->cbSize = extra;  // the caller's record has no room for it
  if (sizeWritten) *sizeWritten = std::min(sizeAllocated, kWaveFormatBytes);
  return DS_OK;
}

SoundResult SoundBuffer::SetFormat(const WaveFormat* format) {
  if (!primary_) return DSERR_INVALIDCALL;
  if (!format || !ValidPcm(*format)) return DSERR_BADFORMAT;
  std::lock_guard<std::mutex> lock(controlMutex_);
  format_ = *format;
  format_.nAvgBytesPerSec = format_.nSamplesPerSec * format_.nBlockAlign;
  format_.cbSize = 0;
  return DS_OK;
}

SoundResult SoundBuffer::Play(uint32_t, uint32_t, uint32_t flags) {
  const uint32_t state = DSBSTATUS_PLAYING | ((flags & DSBPLAY_LOOPING) ? DSBSTATUS_LOOPING : 0);
  if (primary_) {
    if (!(flags & DSBPLAY_LOOPING)) return DSERR_INVALIDPARAM;
    state_.store(state);
    return DS_OK;
  }
  if (!mixer_.AddSource(this)) return DSERR_OUTOFMEMORY;
  playPass_.store(mixer_.PassCounter(), std::memory_order_relaxed);
  state_.store(state, std::memory_order_release);
  return DS_OK;
}

SoundResult SoundBuffer::Stop() {
  uint32_t was = state_.exchange(0, std::memory_order_acq_rel);
  if (!primary_ && (was & DSBSTATUS_PLAYING)) {
    // After this pass the mixer signals nothing more for this buffer, so the stop event is the last one.
    mixer_.WaitForPassEnd();
    std::lock_guard<std::mutex> lock(controlMutex_);
    SignalStop();
  }
  return DS_OK;
}

SoundResult SoundBuffer::GetStatus(uint32_t* status) const {
  if (!status) return DSERR_INVALIDPARAM;
  *status = state_.load(std::memory_order_acquire) & kStateMask;
  return DS_OK;
}

SoundResult SoundBuffer::GetCurrentPosition(uint32_t* playCursor, uint32_t* writeCursor) const {
  if (primary_) {
    if (playCursor) *playCursor = 0;
    if (writeCursor) *writeCursor = 0;
    return DS_OK;
  }
  const uint32_t play = static_cast<uint32_t>(cursor_.load(std::memory_order_acquire) >> 32) * format_.nBlockAlign;
  if (playCursor) *playCursor = play;
  if (writeCursor) {
    // Data ahead of the play cursor by one device buffer may already be mixed.
    uint32_t write = play;
    if (state_.load() & DSBSTATUS_PLAYING) {
      const uint64_t ahead = uint64_t{format_.nSamplesPerSec} * AudioMixer::kOutputBufferFrames / mixer_.rate() + 1;
      write = static_cast<uint32_t>((play + ahead * format_.nBlockAlign) % size_);
    }
    *writeCursor = write;
  }
  return DS_OK;
}

SoundResult SoundBuffer::SetCurrentPosition(uint32_t position) {
  if (primary_) return DSERR_INVALIDCALL;
  if (position >= size_) return DSERR_INVALIDPARAM;
  cursor_.store(static_cast<uint64_t>(position / format_.nBlockAlign) << 32, std::memory_order_release);
  return DS_OK;
}

SoundResult SoundBuffer::Lock(uint32_t offset, uint32_t bytes, void** part1, uint32_t* bytes1, void** part2,
                              uint32_t* bytes2, uint32_t flags) {
  if (primary_) return DSERR_PRIOLEVELNEEDED;
  if (!part1 || !bytes1) return DSERR_INVALIDPARAM;
  assert((flags & ~DSBLOCK_ENTIREBUFFER) == 0);
  if (flags & DSBLOCK_ENTIREBUFFER) bytes = size_;
  if (offset >= size_ || bytes == 0 || bytes > size_) return DSERR_INVALIDPARAM;
  uint8_t* base = data_->bytes.get();
  const uint32_t first = std::min(bytes, size_ - offset);
  *part1 = base + offset;
  *bytes1 = first;
  if (part2) *part2 = first < bytes ? base : nullptr;
  if (bytes2) *bytes2 = bytes - first;
  if (first < bytes && (!part2 || !bytes2)) return DSERR_INVALIDPARAM;
  return DS_OK;
}

SoundResult SoundBuffer::Unlock(void* part1, uint32_t bytes1, void* part2, uint32_t bytes2) {
  if (primary_) return DSERR_PRIOLEVELNEEDED;
  const uint8_t* base = data_->bytes.get();
  auto inside = [&](void* p, uint32_t n) {
    auto* b = static_cast<uint8_t*>(p);
    return !p || (b >= base && b + n <= base + size_);
  };
  if (!inside(part1, bytes1) || !inside(part2, bytes2)) return DSERR_INVALIDPARAM;
  unlocks_.fetch_add(1, std::memory_order_release);
  return DS_OK;
}

SoundResult SoundBuffer::SetVolume(int32_t /*volume*/) { return DSERR_CONTROLUNAVAIL; }
SoundResult SoundBuffer::SetPan(int32_t /*pan*/) { return DSERR_CONTROLUNAVAIL; }
SoundResult SoundBuffer::SetFrequency(uint32_t /*frequency*/) { return DSERR_CONTROLUNAVAIL; }

SoundResult SoundBuffer::QueryNotify(SoundNotify** notify) {
  if (!notify) return DSERR_INVALIDPARAM;
  *notify = nullptr;
  if (primary_ || !(flags_ & DSBCAPS_CTRLPOSITIONNOTIFY)) return E_NOINTERFACE;
  *notify = new SoundNotify(this);
  return DS_OK;
}

SoundResult SoundBuffer::SetNotificationPositions(uint32_t count, const PositionNotify* positions) {
  if (count > kMaxNotifications || (count && !positions)) return DSERR_INVALIDPARAM;
  for (uint32_t i = 0; i < count; ++i) {
    if (!positions[i].hEventNotify) return DSERR_INVALIDPARAM;
    if (positions[i].dwOffset != DSBPN_OFFSETSTOP && positions[i].dwOffset >= size_) return DSERR_INVALIDPARAM;
  }
  std::lock_guard<std::mutex> lock(controlMutex_);
  if (state_.load() & DSBSTATUS_PLAYING) return DSERR_INVALIDCALL;
  Event* old[kMaxNotifications];
  const uint32_t oldCount = notificationCount_.load();
  for (uint32_t i = 0; i < oldCount; ++i) old[i] = notifications_[i].event.load();
  for (uint32_t i = 0; i < count; ++i) RetainEvent(positions[i].hEventNotify);
  notificationCount_.store(0, std::memory_order_release);
  for (uint32_t i = 0; i < count; ++i) {
    notifications_[i].offset.store(positions[i].dwOffset, std::memory_order_relaxed);
    notifications_[i].event.store(positions[i].hEventNotify, std::memory_order_relaxed);
  }
  notificationCount_.store(count, std::memory_order_release);
  // The old events may still be in the hands of a pass that saw this buffer just before it stopped.
  mixer_.WaitForPassEnd();
  for (uint32_t i = 0; i < oldCount; ++i) ReleaseEvent(old[i]);
  return DS_OK;
}

void SoundBuffer::SignalStop() {
  const uint32_t count = notificationCount_.load(std::memory_order_acquire);
  for (uint32_t i = 0; i < count; ++i) {
    if (notifications_[i].offset.load(std::memory_order_relaxed) == DSBPN_OFFSETSTOP) {
      SetEventFromMixer(notifications_[i].event.load(std::memory_order_relaxed));
    }
  }
}

void SoundBuffer::SignalPositions(uint64_t fromFrame, uint64_t framesAdvanced, bool toEnd) {
  const uint32_t count = notificationCount_.load(std::memory_order_acquire);
  const uint64_t end = fromFrame + framesAdvanced;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t offset = notifications_[i].offset.load(std::memory_order_relaxed);
    if (offset == DSBPN_OFFSETSTOP) continue;
    const uint64_t at = offset / format_.nBlockAlign;
    bool reached;
    if (toEnd) {
      reached = at >= fromFrame;
    } else if (framesAdvanced >= frameCount_) {
      reached = true;
    } else if (end <= frameCount_) {
      reached = at >= fromFrame && at < end;
    } else {
      reached = at >= fromFrame || at < end - frameCount_;
    }
    if (reached) SetEventFromMixer(notifications_[i].event.load(std::memory_order_relaxed));
  }
}

template <int Bits, int Channels>
void SoundBuffer::MixFrames(const SoundBuffer& b, int32_t* mix, uint32_t frames, uint64_t& cursor, uint64_t step,
                            bool looping, bool& ended) {
  constexpr uint32_t kBlock = Bits / 8 * Channels;
  const uint32_t n = b.frameCount_;
  const uint8_t* data = b.bytes_;
  for (uint32_t k = 0; k < frames; ++k) {
    uint32_t index = static_cast<uint32_t>(cursor >> 32);
    if (index >= n) {
      if (!looping) {
        ended = true;
        return;
      }
      index %= n;
      cursor = (static_cast<uint64_t>(index) << 32) | (cursor & 0xFFFFFFFF);
    }
    const uint32_t next = index + 1 < n ? index + 1 : (looping ? 0 : index);
    int32_t l0, r0, l1, r1;
    ReadFrame<Bits, Channels>(data + static_cast<size_t>(index) * kBlock, l0, r0);
    ReadFrame<Bits, Channels>(data + static_cast<size_t>(next) * kBlock, l1, r1);
    const int32_t frac = static_cast<int32_t>((cursor >> 16) & 0xFFFF);
    mix[2 * k] += l0 + static_cast<int32_t>((static_cast<int64_t>(l1 - l0) * frac) >> 16);
    mix[2 * k + 1] += r0 + static_cast<int32_t>((static_cast<int64_t>(r1 - r0) * frac) >> 16);
    cursor += step;
  }
  if (!looping && (cursor >> 32) >= n) ended = true;
}

bool SoundBuffer::MixResampled(int32_t* mix, uint32_t frames, uint32_t outputRate, uint64_t rate,
                               uint64_t& cursor, bool looping, bool& ended) {
  if (!resampler_ || outputRate != mixer_.rate()) return false;
  // The filter remembers the input around the play cursor; a cursor moved from outside starts it afresh, lined
  // up so that the first frame out is the cursor's.
  if (cursor != resamplerCursor_) {
    flushLeft_ = RestartResampler(resampler_);
    feedIndex_ = static_cast<uint32_t>(cursor >> 32);
  }
  const uint32_t channels = format_.nChannels, n = frameCount_;
  constexpr uint32_t kBlock = 256;
  float in[kBlock * 2], out[kBlock * 2];
  uint32_t produced = 0;
  while (produced < frames) {
    // Input: the data from the feed position on (round again when looping), then after the end the silence
    // that brings out the tail.
    uint32_t data = 0, count = 0;
    for (; count < kBlock; ++count) {
      if (feedIndex_ + data >= n) {
        if (!looping || data > 0) break;  // a loop's next block starts at the top
        feedIndex_ = 0;
      }
      int32_t left, right;
      const uint8_t* p = bytes_ + static_cast<size_t>(feedIndex_ + data) * format_.nBlockAlign;
      if (format_.wBitsPerSample == 8) {
        if (channels == 2) ReadFrame<8, 2>(p, left, right); else ReadFrame<8, 1>(p, left, right);
      } else {
        if (channels == 2) ReadFrame<16, 2>(p, left, right); else ReadFrame<16, 1>(p, left, right);
      }
      in[count * channels] = static_cast<float>(left) * (1.0f / 32768);
      if (channels == 2) in[count * 2 + 1] = static_cast<float>(right) * (1.0f / 32768);
      ++data;
    }
    const bool atEnd = !looping && feedIndex_ + data >= n;
    if (atEnd) {
      for (; count < kBlock && count - data < flushLeft_; ++count) {
        in[count * channels] = 0;
        if (channels == 2) in[count * 2 + 1] = 0;
      }
    }
    if (count == 0) {
      ended = true;  // the data and the filter's tail have all been heard
      break;
    }
    uint32_t inFrames = count, outFrames = std::min(kBlock, frames - produced);
    Resample(resampler_, channels, in, inFrames, out, outFrames);
    const uint32_t dataTaken = std::min<uint32_t>(inFrames, data);
    feedIndex_ += dataTaken;
    flushLeft_ -= std::min(flushLeft_, inFrames - dataTaken);
    for (uint32_t k = 0; k < outFrames; ++k) {
      const int32_t left = static_cast<int32_t>(std::lrint(out[k * channels] * 32768.0f));
      const int32_t right = channels == 2 ? static_cast<int32_t>(std::lrint(out[k * 2 + 1] * 32768.0f)) : left;
      mix[2 * (produced + k)] += left;
      mix[2 * (produced + k) + 1] += right;
    }
    produced += outFrames;
    if (inFrames == 0 && outFrames == 0) break;  // no progress: try again next pass
  }
  cursor += static_cast<uint64_t>(produced) * ((rate << 32) / outputRate);
  if (looping && (cursor >> 32) >= n) cursor = (((cursor >> 32) % n) << 32) | (cursor & 0xFFFFFFFF);
  if (ended) cursor = static_cast<uint64_t>(n) << 32;
  resamplerCursor_ = cursor;
  return true;
}

void SoundBuffer::MixInto(int32_t* mix, uint32_t frames, uint32_t outputRate) {
  const uint32_t state = state_.load(std::memory_order_acquire);
  if (primary_ || !(state & DSBSTATUS_PLAYING) || frameCount_ == 0) return;
  if (playPass_.load(std::memory_order_relaxed) == mixer_.PassCounter()) return;  // started during this pass
  unlocks_.load(std::memory_order_acquire);
  const uint64_t start = cursor_.load(std::memory_order_acquire);
  const uint64_t rate = format_.nSamplesPerSec;
  const uint64_t step = (rate << 32) / outputRate;
  const bool looping = (state & DSBSTATUS_LOOPING) != 0;
  uint64_t cursor = start;
  bool ended = false;
  // Without the window's focus the buffer plays into a sink nobody hears.
  thread_local std::array<int32_t, AudioMixer::kChunkFrames * AudioMixer::kChannels> unheard;
  int32_t* target = mix;
  if (!HasSoundFocus() && frames <= AudioMixer::kChunkFrames) target = unheard.data();
  if (!MixResampled(target, frames, outputRate, rate, cursor, looping, ended)) {
    mixFrames_(*this, target, frames, cursor, step, looping, ended);
  }
  const uint64_t fromFrame = start >> 32;
  if (!ended) {
    const uint64_t advanced = ((start & 0xFFFFFFFF) + frames * step) >> 32;
    SignalPositions(fromFrame, advanced, false);
    uint64_t expected = start;
    cursor_.compare_exchange_strong(expected, cursor, std::memory_order_acq_rel);
    return;
  }
  SignalPositions(fromFrame, 0, true);
  // Take the stop events while the buffer still plays: nobody may change its notifications before the state does.
  Event* stopEvents[kMaxNotifications];
  uint32_t stops = 0;
  const uint32_t count = notificationCount_.load(std::memory_order_acquire);
  for (uint32_t i = 0; i < count; ++i) {
    if (notifications_[i].offset.load(std::memory_order_relaxed) == DSBPN_OFFSETSTOP) {
      stopEvents[stops++] = notifications_[i].event.load(std::memory_order_relaxed);
    }
  }
  // A buffer that played to its end starts again from the beginning.
  uint64_t expected = start;
  cursor_.compare_exchange_strong(expected, 0, std::memory_order_acq_rel);
  uint32_t playing = state;
  if (state_.compare_exchange_strong(playing, 0, std::memory_order_acq_rel)) {
    for (uint32_t i = 0; i < stops; ++i) SetEventFromMixer(stopEvents[i]);
  }
}

SoundNotify::SoundNotify(SoundBuffer* buffer) : buffer_(buffer) { buffer_->AddRef(); }
SoundNotify::~SoundNotify() { buffer_->Release(); }

uint32_t SoundNotify::AddRef() { return references_.fetch_add(1) + 1; }

uint32_t SoundNotify::Release() {
  uint32_t left = references_.fetch_sub(1) - 1;
  if (left == 0) delete this;
  return left;
}

SoundResult SoundNotify::SetNotificationPositions(uint32_t count, const PositionNotify* positions) {
  return buffer_->SetNotificationPositions(count, positions);
}

}  // namespace platform
