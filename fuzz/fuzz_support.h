// Small pieces shared by the fuzz targets: a scratch folder, whole-file reads
// and writes, and a check that stops the run with a readable report.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

namespace varsk::fuzz {

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
  std::fprintf(stderr, "\n*** fuzz check failed: %s (%s:%d)\n", what, file, line);
  std::fflush(stderr);
  std::abort();  // libFuzzer reports the deadly signal and saves the input
}

// A check that holds for every input; a failure is a defect in the code under test.
#define FUZZ_CHECK(cond)                                         \
  do {                                                           \
    if (!(cond)) ::varsk::fuzz::Fail(#cond, __FILE__, __LINE__); \
  } while (0)

// A private folder for the target's files, on tmpfs (/dev/shm) when there is
// one, so that file round trips cost little; removed when the process exits.
inline const std::filesystem::path& ScratchDir() {
  static const std::filesystem::path dir = [] {
    std::string base = "/tmp";
    if (const char* tmp = std::getenv("TMPDIR"); tmp != nullptr && *tmp != '\0') base = tmp;
    if (access("/dev/shm", W_OK) == 0) base = "/dev/shm";
    std::string pattern = base + "/varsk-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
      std::perror("mkdtemp");
      std::abort();
    }
    static std::filesystem::path made = pattern;
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(made, ignored);
    });
    return made;
  }();
  return dir;
}

inline std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteWholeFile(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) Fail("cannot write a scratch file", __FILE__, __LINE__);
}

}  // namespace varsk::fuzz
