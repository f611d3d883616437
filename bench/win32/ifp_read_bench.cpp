// How long the Windows build takes to read the real-shaped ANP3 package (300
// animations of short tracks, about 3.8 MB), under Wine or Windows. Cold: the
// first read in a process, started afresh for each one, so the memory under
// the keys is new to it. Warm: a read and the release of its package, repeated
// in one process. Prints each time and the median in milliseconds of elapsed
// time, with its ratio to a plain copy of the same bytes into memory already
// in use. Run without arguments; "--cold FILE" is the child's one read.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "anim/ifp_reader.h"
#include "anim/ifp_writer.h"
#include "platform/file_system.h"
#include "sample_packages.h"
#include "window_bench.h"

namespace {

using namespace zam::bench;

constexpr int kColdRuns = 7;
constexpr int kWarmRuns = 31;

// Milliseconds of ReadIfp on the package in `path`, read whole beforehand.
double ReadOnce(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (zam::ReadWholeFile(path, bytes) != zam::FileStatus::Ok) return -1.0;
  zam::AnimPackage package{};
  double start = Milliseconds();
  zam::IfpReadStatus status = zam::ReadIfp(bytes.data(), bytes.size(), package);
  double elapsed = Milliseconds() - start;
  return status == zam::IfpReadStatus::Ok ? elapsed : -1.0;
}

// The reference: milliseconds of one copy, averaged over a tenth of a second's worth.
double CopyMilliseconds(const std::vector<uint8_t>& bytes) {
  std::vector<uint8_t> copy(bytes.size());
  volatile uint8_t sink = 0;
  int runs = 0;
  double start = Milliseconds(), elapsed = 0.0;
  for (; elapsed < 100.0; elapsed = Milliseconds() - start, ++runs) {
    std::memcpy(copy.data(), bytes.data(), bytes.size());
    sink = copy[static_cast<size_t>(runs) % copy.size()];
  }
  (void)sink;
  return elapsed / runs;
}

// Starts this program on `path` for one cold read; its time, or a negative one on failure.
double ColdRead(const std::string& path) {
  char program[MAX_PATH];
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  std::string command = std::string("\"") + program + "\" --cold \"" + path + "\"";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd, writeEnd;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return -1.0;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION child{};
  BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child);
  CloseHandle(writeEnd);
  std::string output;
  char buffer[64];
  DWORD got = 0;
  while (started && ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
  CloseHandle(readEnd);
  if (!started) return -1.0;
  WaitForSingleObject(child.hProcess, INFINITE);
  CloseHandle(child.hProcess);
  CloseHandle(child.hThread);
  double milliseconds = -1.0;
  return std::sscanf(output.c_str(), "%lf", &milliseconds) == 1 ? milliseconds : -1.0;
}

void Print(const char* what, const std::vector<double>& times, double copy) {
  std::printf("%s:", what);
  for (double t : times) std::printf(" %.1f", t);
  double median = Median(times);
  std::printf("\n  median %.2f ms, %.0f x copy\n", median, median / copy);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--cold") == 0) {
    double milliseconds = ReadOnce(argv[2]);
    if (milliseconds < 0.0) return 1;
    std::printf("%.4f\n", milliseconds);
    return 0;
  }

  std::vector<uint8_t> bytes;
  zam::WriteIfp(zam::gen::MakePackage(zam::gen::RealGameShape(zam::kFormatANP3)), bytes);
  char temp[MAX_PATH], path[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  GetTempFileNameA(temp, "zrb", 0, path);
  if (zam::ReplaceFileAtomically(path, bytes) != zam::FileStatus::Ok) {
    std::fprintf(stderr, "cannot write %s\n", path);
    return 1;
  }

  std::vector<double> cold;
  for (int run = 0; run < kColdRuns; ++run) cold.push_back(ColdRead(path));
  DeleteFileA(path);
  if (*std::min_element(cold.begin(), cold.end()) < 0.0) {
    std::fprintf(stderr, "a cold read failed\n");
    return 1;
  }

  std::vector<double> warm;
  for (int run = 0; run < kWarmRuns; ++run) {
    double start = Milliseconds();
    {
      zam::AnimPackage package{};
      zam::ReadIfp(bytes.data(), bytes.size(), package);
    }
    warm.push_back(Milliseconds() - start);
  }

  double copy = CopyMilliseconds(bytes);
  std::printf("Real-shaped ANP3 package, %zu KiB; a copy of its bytes takes %.3f ms\n", bytes.size() / 1024, copy);
  Print("Cold read (first in a new process), ms", cold, copy);
  Print("Warm read (repeated in one process), ms", warm, copy);
  return 0;
}
