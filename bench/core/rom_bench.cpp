// The ROM table codec and the file steps of Load ROM and Save ROM.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "data/rom_file.h"
#include "data/rom_tables.h"

namespace varsk {
namespace {

std::unique_ptr<DataSet> RandomDataSet() {
  auto dataSet = std::make_unique<DataSet>();
  std::mt19937 random(7);
  auto* bytes = reinterpret_cast<uint8_t*>(dataSet->msRecords.data());
  for (size_t i = 0; i < sizeof dataSet->msRecords; ++i) bytes[i] = static_cast<uint8_t>(random());
  bytes = reinterpret_cast<uint8_t*>(dataSet->shipRecords.data());
  for (size_t i = 0; i < sizeof dataSet->shipRecords; ++i) {
    bytes[i] = static_cast<uint8_t>(random());
  }
  dataSet->msCount = kMsEntryCount;
  dataSet->shipCount = kShipEntryCount;
  return dataSet;
}

// All 229 entries: records -> both buffers.
void BM_PackRomTables(benchmark::State& state) {
  const std::unique_ptr<DataSet> dataSet = RandomDataSet();
  RomBuffers buffers;
  for (auto _ : state) {
    PackRomTables(*dataSet, buffers);
    benchmark::DoNotOptimize(buffers);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kEntryListCount);
}
BENCHMARK(BM_PackRomTables);

// All 229 entries: both buffers -> records.
void BM_UnpackRomTables(benchmark::State& state) {
  std::unique_ptr<DataSet> dataSet = RandomDataSet();
  RomBuffers buffers;
  PackRomTables(*dataSet, buffers);
  for (auto _ : state) {
    UnpackRomTables(buffers, *dataSet);
    benchmark::DoNotOptimize(dataSet.get());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kEntryListCount);
}
BENCHMARK(BM_UnpackRomTables);

// An 8 MiB ROM file in the page cache.
class RomFileFixture : public benchmark::Fixture {
 public:
  void SetUp(const benchmark::State&) override {
    path_ = (std::filesystem::temp_directory_path() /
             ("varsk-bench-rom-" + std::to_string(getpid()) + ".gba"))
                .string();
    std::vector<char> image(8 << 20);
    std::mt19937 random(3);
    for (char& c : image) c = static_cast<char>(random());
    std::ofstream(path_, std::ios::binary)
        .write(image.data(), static_cast<std::streamsize>(image.size()));
    ReadRomTables(path_, buffers_);  // warm the page cache
  }
  void TearDown(const benchmark::State&) override { std::filesystem::remove(path_); }

 protected:
  std::string path_;
  RomBuffers buffers_;
};

BENCHMARK_F(RomFileFixture, ReadRomTables)(benchmark::State& state) {
  for (auto _ : state) {
    ReadRomTables(path_, buffers_);
    benchmark::DoNotOptimize(buffers_);
  }
  state.SetBytesProcessed(state.iterations() * kRomTableBytes);
}

// Save ROM's file step without the final fsync, which measures the disk, not the program.
BENCHMARK_F(RomFileFixture, WriteRomTablesWithoutSync)(benchmark::State& state) {
  FileCalls withoutSync;
  withoutSync.fsync = [](int) { return 0; };
  SetFileCallsForTesting(withoutSync);
  for (auto _ : state) WriteRomTables(path_, buffers_);
  SetFileCallsForTesting(FileCalls{});
  state.SetBytesProcessed(state.iterations() * kRomTableBytes);
}

// The real Save ROM path with fsync, for reference.
BENCHMARK_F(RomFileFixture, WriteRomTablesWithSync)(benchmark::State& state) {
  for (auto _ : state) WriteRomTables(path_, buffers_);
  state.SetBytesProcessed(state.iterations() * kRomTableBytes);
}

}  // namespace
}  // namespace varsk

BENCHMARK_MAIN();
