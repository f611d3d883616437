// ifp_cold_read FILE: reads the package once, as an editor just started
// would, and prints the CPU time of ReadIfp alone in nanoseconds. Every page
// the read touches is new to this process, so the page faults of the keys'
// memory count as they do for the user. The file's bytes are in memory
// before the clock starts.

#include <time.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "anim/ifp_reader.h"
#include "platform/file_system.h"

namespace {

int64_t ThreadCpuNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<uint8_t> bytes;
  if (argc != 2 || zam::ReadWholeFile(argv[1], bytes) != zam::FileStatus::Ok) {
    std::fprintf(stderr, "usage: ifp_cold_read FILE\n");
    return 2;
  }
  zam::AnimPackage package{};
  int64_t start = ThreadCpuNanoseconds();
  zam::IfpReadStatus status = zam::ReadIfp(bytes.data(), bytes.size(), package);
  int64_t elapsed = ThreadCpuNanoseconds() - start;
  if (status != zam::IfpReadStatus::Ok) return 1;
  std::printf("%lld\n", static_cast<long long>(elapsed));
  return 0;
}
