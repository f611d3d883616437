// zamgen: writes the project's own sample files (packages for tests, the demo
// and benchmarks), so no test data comes from elsewhere.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "anim/ifp_writer.h"
#include "platform/file_system.h"
#include "sample_packages.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: zamgen package [--anp3] [--large] OUT\n");
  return 2;
}

int WritePackage(int argc, char** argv) {
  zam::gen::PackageShape shape;
  uint32_t format = zam::kFormatANPK;
  bool large = false;
  const char* out = nullptr;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--anp3") == 0) {
      format = zam::kFormatANP3;
    } else if (std::strcmp(argv[i], "--large") == 0) {
      large = true;
    } else if (out == nullptr) {
      out = argv[i];
    } else {
      return Usage();
    }
  }
  if (out == nullptr) return Usage();
  if (large) shape = zam::gen::LargeGameShape(format);
  shape.format = format;
  std::vector<uint8_t> bytes;
  zam::WriteIfp(zam::gen::MakePackage(shape), bytes);
  if (zam::ReplaceFileAtomically(out, bytes) != zam::FileStatus::Ok) {
    std::fprintf(stderr, "%s: cannot write\n", out);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "package") == 0) return WritePackage(argc - 2, argv + 2);
  return Usage();
}
