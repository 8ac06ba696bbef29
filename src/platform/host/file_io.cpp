#include "platform/host/file_io.h"

#include <unistd.h>

#include <cassert>
#include <cerrno>
#include <string>

#include "platform/host/file_names.h"

namespace platform {

FileHandle CreateFile(std::string_view name, uint32_t access, uint32_t shareMode, uint32_t creation,
                      uint32_t attributes) {
  assert(access == GENERIC_READ && creation == OPEN_EXISTING);
  (void)shareMode;   // a reader never locks others out here
  (void)attributes;  // FILE_ATTRIBUTE_NORMAL: nothing to do
  if (access != GENERIC_READ || creation != OPEN_EXISTING) return INVALID_HANDLE_VALUE;
  const int fd = OpenRegularFileForReading(HostPath(name));
  return fd < 0 ? INVALID_HANDLE_VALUE : static_cast<FileHandle>(fd);
}

bool ReadFile(FileHandle file, void* buffer, uint32_t bytes, uint32_t* bytesRead) {
  if (bytesRead) *bytesRead = 0;
  if (file < 0 || (!buffer && bytes)) return false;
  uint32_t total = 0;
  auto* out = static_cast<char*>(buffer);
  while (total < bytes) {
    ssize_t n = ::read(static_cast<int>(file), out + total, bytes - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (bytesRead) *bytesRead = total;
      return false;
    }
    if (n == 0) break;
    total += static_cast<uint32_t>(n);
  }
  if (bytesRead) *bytesRead = total;
  return true;
}

uint32_t SetFilePointer(FileHandle file, int32_t distance, uint32_t moveMethod) {
  if (file < 0) return INVALID_SET_FILE_POINTER;
  int whence = moveMethod == FILE_BEGIN ? SEEK_SET : moveMethod == FILE_CURRENT ? SEEK_CUR : SEEK_END;
  if (moveMethod > FILE_END) return INVALID_SET_FILE_POINTER;
  off_t pos = ::lseek(static_cast<int>(file), static_cast<off_t>(distance), whence);
  if (pos < 0 || pos >= static_cast<off_t>(INVALID_SET_FILE_POINTER)) return INVALID_SET_FILE_POINTER;
  return static_cast<uint32_t>(pos);
}

bool CloseFile(FileHandle file) { return file >= 0 && ::close(static_cast<int>(file)) == 0; }

}  // namespace platform
