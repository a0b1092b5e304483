// Whole-process time of `varsk-units patch` and `apply` on an 8 MiB ROM whose
// 10,462 table bytes all changed, beside `cat` of the same ROM; and the core
// steps in process. Report the median of the repetitions.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/rom_tables.h"
#include "patch/bps_patch.h"
#include "patch/ips_patch.h"
#include "patch/patch_apply.h"

extern char** environ;

namespace varsk {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Original() {
  Bytes rom(size_t{8} << 20);
  uint32_t state = 12345;
  for (uint8_t& byte : rom) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<uint8_t>(state >> 24);
  }
  return rom;
}

Bytes Modified(const Bytes& original) {
  Bytes rom = original;
  for (int64_t i = kMsTableOffset; i < kRomTablesEnd; ++i) rom[i] = static_cast<uint8_t>(~rom[i]);
  return rom;
}

// The files, written once into a fresh folder.
struct Files {
  std::string dir;
  Files() {
    char pattern[] = "/tmp/varsk-patch-bench-XXXXXX";
    dir = mkdtemp(pattern);
    const Bytes original = Original();
    Write("a.gba", original);
    Write("b.gba", Modified(original));
    for (const char* patch : {"p.ips", "p.bps"}) {
      Run({"patch", Path("a.gba"), Path("b.gba"), "-o", Path(patch)});
    }
  }
  ~Files() { std::filesystem::remove_all(dir); }
  Files(const Files&) = delete;
  Files& operator=(const Files&) = delete;
  std::string Path(const char* name) const { return dir + "/" + name; }
  void Write(const char* name, const Bytes& bytes) const {
    std::ofstream(Path(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  // Runs `program args` with stdout to /dev/null; returns the exit status.
  static int Spawn(const std::string& program, const std::vector<std::string>& args) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int started = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  static int Run(const std::vector<std::string>& args) { return Spawn(VARSK_UNITS_PATH, args); }
};

const Files& TheFiles() {
  static const Files files;
  return files;
}

double ChildCpuMilliseconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Wall time of the whole process; the counter child_cpu_ms is its CPU time
// (user + system), which a busy machine inflates less than the wall time.
void Process(benchmark::State& state, const std::string& program,
             const std::vector<std::string>& args) {
  const double cpuBefore = ChildCpuMilliseconds();
  for (auto _ : state) {
    if (Files::Spawn(program, args) != 0) {
      state.SkipWithError("the command failed");
      break;
    }
  }
  state.counters["child_cpu_ms"] =
      benchmark::Counter(ChildCpuMilliseconds() - cpuBefore, benchmark::Counter::kAvgIterations);
}

void BM_Cat(benchmark::State& state) { Process(state, "/bin/cat", {TheFiles().Path("a.gba")}); }
void BM_PatchIps(benchmark::State& state) {
  const Files& f = TheFiles();
  Process(state, VARSK_UNITS_PATH,
          {"patch", f.Path("a.gba"), f.Path("b.gba"), "-o", f.Path("q.ips")});
}
void BM_PatchBps(benchmark::State& state) {
  const Files& f = TheFiles();
  Process(state, VARSK_UNITS_PATH,
          {"patch", f.Path("a.gba"), f.Path("b.gba"), "-o", f.Path("q.bps")});
}
void BM_ApplyIps(benchmark::State& state) {
  const Files& f = TheFiles();
  Process(state, VARSK_UNITS_PATH,
          {"apply", f.Path("p.ips"), f.Path("a.gba"), "-o", f.Path("out.gba")});
}
void BM_ApplyBps(benchmark::State& state) {
  const Files& f = TheFiles();
  Process(state, VARSK_UNITS_PATH,
          {"apply", f.Path("p.bps"), f.Path("a.gba"), "-o", f.Path("out.gba")});
}

// The same work in process, without start-up and file I/O.
void BM_MakeIpsPatchInProcess(benchmark::State& state) {
  const Bytes original = Original();
  const Bytes modified = Modified(original);
  for (auto _ : state) benchmark::DoNotOptimize(MakeIpsPatch(original, modified));
}
void BM_MakeBpsPatchInProcess(benchmark::State& state) {
  const Bytes original = Original();
  const Bytes modified = Modified(original);
  for (auto _ : state) benchmark::DoNotOptimize(MakeBpsPatch(original, modified));
}
void BM_ApplyBpsPatchInProcess(benchmark::State& state) {
  const Bytes original = Original();
  const Bytes patch = MakeBpsPatch(original, Modified(original));
  for (auto _ : state) benchmark::DoNotOptimize(ApplyPatch(patch, original));
}

#define VARSK_PROCESS_BENCHMARK(name) \
  BENCHMARK(name)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(11)
VARSK_PROCESS_BENCHMARK(BM_Cat);
VARSK_PROCESS_BENCHMARK(BM_PatchIps);
VARSK_PROCESS_BENCHMARK(BM_PatchBps);
VARSK_PROCESS_BENCHMARK(BM_ApplyIps);
VARSK_PROCESS_BENCHMARK(BM_ApplyBps);
BENCHMARK(BM_MakeIpsPatchInProcess)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakeBpsPatchInProcess)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyBpsPatchInProcess)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varsk

BENCHMARK_MAIN();
