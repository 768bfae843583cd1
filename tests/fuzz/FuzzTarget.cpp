#include "FuzzTarget.h"

#include <cstdio>
#include <cstdlib>

#include "TestRom.h"

namespace brimwell::fuzz {

void Fail(const char* condition, const char* file, int line, const std::string& what) {
  std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n  %s\n", file, line, condition, what.c_str());
  std::abort();
}

const std::vector<Byte>& TestRomImage() {
  static const std::vector<Byte> image = testing::MakeTestRom();
  return image;
}

}  // namespace brimwell::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  brimwell::fuzz::FuzzInput input({data, size});
  brimwell::fuzz::TestOneInput(input);
  return 0;
}
