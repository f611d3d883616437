// ifp_cold_read FILE [READS]: reads the package once, as an editor just
// started would, and prints the CPU time of ReadIfp alone in nanoseconds.
// Every page the read touches is new to this process, so the page faults of
// the keys' memory count as they do for the user. With READS, it then reads
// the package that many times more, each read releasing its package, and
// also prints the median of those: the steady state of an editor opening
// package after package, with the C library's allocator as it comes (this
// program leaves it alone, unlike ifp_bench). The file's bytes are in memory
// before the clock starts.

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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
  int reads = argc == 3 ? std::atoi(argv[2]) : 0;
  if (argc < 2 || argc > 3 || reads < 0 || zam::ReadWholeFile(argv[1], bytes) != zam::FileStatus::Ok) {
    std::fprintf(stderr, "usage: ifp_cold_read FILE [READS]\n");
    return 2;
  }
  zam::AnimPackage package{};
  int64_t start = ThreadCpuNanoseconds();
  zam::IfpReadStatus status = zam::ReadIfp(bytes.data(), bytes.size(), package);
  int64_t elapsed = ThreadCpuNanoseconds() - start;
  if (status != zam::IfpReadStatus::Ok) return 1;
  std::printf("%lld", static_cast<long long>(elapsed));
  package = {};

  std::vector<int64_t> times;
  for (int i = 0; i < reads; ++i) {
    start = ThreadCpuNanoseconds();
    {
      zam::AnimPackage again{};
      zam::ReadIfp(bytes.data(), bytes.size(), again);
    }
    times.push_back(ThreadCpuNanoseconds() - start);
  }
  if (!times.empty()) {
    std::nth_element(times.begin(), times.begin() + reads / 2, times.end());
    std::printf(" %lld", static_cast<long long>(times[static_cast<size_t>(reads / 2)]));
  }
  std::printf("\n");
  return 0;
}
