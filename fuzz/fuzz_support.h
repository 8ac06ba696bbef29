#pragma once
// Shared by the fuzz targets: a property that fails stops the run like a crash does, so libFuzzer keeps the input,
// and a scratch file for the readers that only take a file name.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(condition)                                                                        \
  do {                                                                                               \
    if (!(condition)) {                                                                              \
      std::fprintf(stderr, "property failed at %s:%d: %s\n", __FILE__, __LINE__, #condition);       \
      std::abort();                                                                                  \
    }                                                                                                \
  } while (0)

namespace fuzz {

// A folder of this process under /tmp, made on first use and kept for the whole run.
inline const std::string& ScratchFolder() {
  static const std::string folder = [] {
    std::string pattern = "/tmp/zorvel-fuzz-XXXXXX";
    const char* made = ::mkdtemp(pattern.data());
    if (!made) std::abort();
    return std::string(made);
  }();
  return folder;
}

// Writes the input to `name` in the scratch folder and returns its full path.
inline std::string WriteScratch(const std::string& name, const uint8_t* data, size_t size) {
  const std::string path = ScratchFolder() + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
  return path;
}

}  // namespace fuzz
