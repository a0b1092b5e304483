// Whole-process time of varsk-units on an 8 MiB ROM, next to cat of the same
// file in the same run: dump as JSON, import of the full dump (in place, and
// into a new file), and plot of cost against hp as SVG and as PNG.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

extern char** environ;

namespace {

// A scratch folder with the ROM, name lists and a full JSON dump.
struct Workspace {
  std::string dir;
  std::string rom;
  std::string dump;
  std::string out;
  std::string svg;
  std::string png;

  Workspace() {
    char pattern[] = "/tmp/varsk-cli-bench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
      std::perror("mkdtemp");
      std::exit(1);
    }
    dir = pattern;
    rom = dir + "/rom.gba";
    dump = dir + "/dump.json";
    out = dir + "/out.gba";
    svg = dir + "/chart.svg";
    png = dir + "/chart.png";
    std::mt19937 random(1);
    std::string image(8 * 1024 * 1024, '\0');
    for (char& byte : image) byte = static_cast<char>(random() & 0xFF);
    std::ofstream(rom, std::ios::binary) << image;
    const char* lists[] = {"namestringC.txt", "namestringE.txt", "namestringJ.txt"};
    for (const char* list : lists) {
      std::ofstream names(dir + "/" + list, std::ios::binary);
      for (int line = 1; line <= 404; ++line) names << "Name " << line << "\r\n";
    }
  }
  ~Workspace() {
    const std::string command = "rm -rf '" + dir + "'";
    if (std::system(command.c_str()) != 0) std::perror("rm");
  }
};

Workspace& Scratch() {
  static Workspace workspace;
  return workspace;
}

// Runs a program in the scratch folder with stdout sent to `stdoutPath`;
// returns its exit status and adds the child's CPU seconds to `cpuSeconds`.
int Spawn(const std::vector<std::string>& args, const std::string& stdoutPath = "/dev/null",
          double* cpuSeconds = nullptr) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, stdoutPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addchdir_np(&actions, Scratch().dir.c_str());
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return -1;
  int status = 0;
  struct rusage usage {};
  ::wait4(pid, &status, 0, &usage);
  if (cpuSeconds != nullptr) {
    *cpuSeconds += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Wall time is what the user waits; the child's CPU time ("cpu_ms") shows the
// program's own cost when other work shares the machine.
void RunOrSkip(benchmark::State& state, const std::vector<std::string>& args) {
  double cpuSeconds = 0;
  for (auto _ : state) {
    if (Spawn(args, "/dev/null", &cpuSeconds) != 0) {
      state.SkipWithError("the command failed");
      return;
    }
  }
  state.counters["cpu_ms"] =
      benchmark::Counter(cpuSeconds * 1000.0 / static_cast<double>(state.iterations()));
}

void CatRom(benchmark::State& state) { RunOrSkip(state, {"cat", Scratch().rom}); }

void DumpJson(benchmark::State& state) {
  RunOrSkip(state, {VARSK_UNITS_PATH, "dump", Scratch().rom, "--format", "json"});
}

void ImportFullDumpInPlace(benchmark::State& state) {
  RunOrSkip(state, {VARSK_UNITS_PATH, "import", Scratch().rom, Scratch().dump});
}

void ImportFullDumpToNewFile(benchmark::State& state) {
  RunOrSkip(state,
            {VARSK_UNITS_PATH, "import", Scratch().rom, Scratch().dump, "-o", Scratch().out});
}

void PlotSvg(benchmark::State& state) {
  RunOrSkip(state, {VARSK_UNITS_PATH, "plot", Scratch().rom, "-o", Scratch().svg});
}

void PlotPng(benchmark::State& state) {
  RunOrSkip(state, {VARSK_UNITS_PATH, "plot", Scratch().rom, "-o", Scratch().png});
}

void Register() {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (Spawn({VARSK_UNITS_PATH, "dump", Scratch().rom}, Scratch().dump) != 0) {
    std::fprintf(stderr, "varsk-units dump failed; the benchmarks would measure nothing\n");
    std::exit(1);
  }
  for (auto* bench : {benchmark::RegisterBenchmark("cat ROM", CatRom),
                      benchmark::RegisterBenchmark("varsk-units dump ROM --format json", DumpJson),
                      benchmark::RegisterBenchmark("varsk-units import ROM full-dump.json",
                                                   ImportFullDumpInPlace),
                      benchmark::RegisterBenchmark("varsk-units import ROM full-dump.json -o OUT",
                                                   ImportFullDumpToNewFile),
                      benchmark::RegisterBenchmark("varsk-units plot ROM -o chart.svg", PlotSvg),
                      benchmark::RegisterBenchmark("varsk-units plot ROM -o chart.png", PlotPng)}) {
    bench->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(5)
        ->Repetitions(9)
        ->ReportAggregatesOnly(true);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Register();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
