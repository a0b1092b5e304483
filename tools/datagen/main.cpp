// varsk-datagen <output folder>: writes ms_data.bin, namestringC/E/J.txt and
// sample-rom.gba. Each file is written to a temporary name and renamed, so an
// interrupted run leaves no half-written file behind.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data_set_builder.h"
#include "name_lists.h"
#include "sample_rom.h"

namespace {

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  const std::filesystem::path temporary = path.string() + ".part";
  std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  std::error_code error;
  if (out) std::filesystem::rename(temporary, path, error);
  if (!out || error) {
    std::filesystem::remove(temporary, error);
    throw std::runtime_error("cannot write " + path.string());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: varsk-datagen <output folder>\n");
    return 2;
  }
  try {
    using namespace varsk::datagen;
    const std::filesystem::path dir(argv[1]);
    std::filesystem::create_directories(dir);
    const auto dataSet = BuildDataSet();
    WriteFile(dir / "ms_data.bin", SerializeDataSet(*dataSet));
    WriteFile(dir / "namestringE.txt", MakeNameList(NameLanguage::E));
    WriteFile(dir / "namestringC.txt", MakeNameList(NameLanguage::C));
    WriteFile(dir / "namestringJ.txt", MakeNameList(NameLanguage::J));
    WriteFile(dir / "sample-rom.gba", MakeSampleRom(*dataSet));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "varsk-datagen: %s\n", error.what());
    return 1;
  }
  return 0;
}
