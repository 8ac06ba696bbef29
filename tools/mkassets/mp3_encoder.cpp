#include "mp3_encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <stdexcept>

namespace mkassets {

std::vector<uint8_t> EncodeMp3(const StereoSignal& music, int rate, int kbps) {
  lame_global_flags* gf = lame_init();
  if (gf == nullptr) throw std::runtime_error("LAME does not start");
  lame_set_in_samplerate(gf, rate);
  lame_set_out_samplerate(gf, rate);
  lame_set_num_channels(gf, 2);
  lame_set_mode(gf, JOINT_STEREO);
  lame_set_VBR(gf, vbr_off);
  lame_set_brate(gf, kbps);
  lame_set_quality(gf, 2);
  lame_set_bWriteVbrTag(gf, 1);
  lame_set_write_id3tag_automatic(gf, 0);
  if (lame_init_params(gf) < 0) {
    lame_close(gf);
    throw std::runtime_error("LAME refuses the settings");
  }
  std::vector<uint8_t> out;
  const size_t total = music.left.size(), chunk = 1152 * 32;
  std::vector<unsigned char> buffer(chunk * 5 / 4 + 7200);
  for (size_t at = 0; at < total; at += chunk) {
    const int n = static_cast<int>(std::min(chunk, total - at));
    const int bytes = lame_encode_buffer_ieee_float(gf, music.left.data() + at, music.right.data() + at, n,
                                                    buffer.data(), static_cast<int>(buffer.size()));
    if (bytes < 0) {
      lame_close(gf);
      throw std::runtime_error("LAME encoding failed");
    }
    out.insert(out.end(), buffer.begin(), buffer.begin() + bytes);
  }
  const int tail = lame_encode_flush(gf, buffer.data(), static_cast<int>(buffer.size()));
  if (tail > 0) out.insert(out.end(), buffer.begin(), buffer.begin() + tail);
  // The first frame was written as a placeholder; now that the padding is known it becomes the LAME tag.
  std::vector<unsigned char> tag(4096);
  const size_t tagBytes = lame_get_lametag_frame(gf, tag.data(), tag.size());
  lame_close(gf);
  if (tagBytes == 0 || tagBytes > out.size()) throw std::runtime_error("LAME gave no tag frame");
  std::copy(tag.begin(), tag.begin() + static_cast<long>(tagBytes), out.begin());
  return out;
}

}  // namespace mkassets
