// varsk-datagen <output folder>: writes ms_data.bin, namestringC/E/J.txt and
// sample-rom.gba. The file layer replaces each file whole, so an interrupted
// run leaves no half-written file behind.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "data_set_builder.h"
#include "name_lists.h"
#include "sample_rom.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: varsk-datagen <output folder>\n");
    return 2;
  }
  varsk::PrepareProcessForFiles();
  try {
    using namespace varsk::datagen;
    const std::filesystem::path dir(argv[1]);
    std::filesystem::create_directories(dir);
    const auto dataSet = BuildDataSet();
    const std::string folder = std::string(argv[1]) + "/";
    varsk::ReplaceFile(folder + "ms_data.bin", SerializeDataSet(*dataSet));
    varsk::ReplaceFile(folder + "namestringE.txt", MakeNameList(NameLanguage::E));
    varsk::ReplaceFile(folder + "namestringC.txt", MakeNameList(NameLanguage::C));
    varsk::ReplaceFile(folder + "namestringJ.txt", MakeNameList(NameLanguage::J));
    varsk::ReplaceFile(folder + "sample-rom.gba", MakeSampleRom(*dataSet));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "varsk-datagen: %s\n", error.what());
    return 1;
  }
  return 0;
}
