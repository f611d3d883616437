// libFuzzer entry: any bytes through the IFP reader, and what it read back
// through the writer and the reader again.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "anim/ifp_reader.h"
#include "anim/ifp_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zam::AnimPackage package{};
  if (zam::ReadIfp(data, size, package) == zam::IfpReadStatus::UnknownFormat) return 0;
  std::vector<uint8_t> written;
  zam::WriteIfp(package, written);
  zam::AnimPackage again{};
  zam::ReadIfp(written.data(), written.size(), again);
  if (again.animations.size() != package.animations.size()) __builtin_trap();
  return 0;
}
