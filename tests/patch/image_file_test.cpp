// Reading whole ROM images: every byte, whatever the size, and clear errors.
#include "patch/image_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/messages.h"
#include "patch/synthetic_rom.h"

namespace varsk {
namespace {

class ImageFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        std::filesystem::temp_directory_path() / ("varsk-image-file-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  std::filesystem::path dir_;
};

TEST_F(ImageFileTest, ReadsEveryByteWhateverTheSize) {
  for (size_t size : {size_t{0}, size_t{1}, size_t{4096}, (size_t{5} << 20) + 3}) {
    const std::vector<uint8_t> bytes = testing::RandomBytes(size, static_cast<uint32_t>(size));
    EXPECT_EQ(ReadImageFile(Write("image.bin", bytes)), bytes) << size;
  }
}

TEST_F(ImageFileTest, ReadsAPipeToItsEnd) {
  const std::vector<uint8_t> bytes = testing::RandomBytes(100000, 9);
  const std::string path = Write("image.bin", bytes);
  // A file with no size to go by: /dev/stdin of a child would do, a FIFO is simpler.
  const std::string fifo = (dir_ / "fifo").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string command = "cat '" + path + "' > '" + fifo + "' &";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(ReadImageFile(fifo), bytes);
}

TEST_F(ImageFileTest, MissingFilesAndFoldersAreClearErrors) {
  for (const std::string& path : {(dir_ / "missing.gba").string(), dir_.string()}) {
    try {
      ReadImageFile(path);
      ADD_FAILURE() << path;
    } catch (const VarskError& error) {
      EXPECT_EQ(std::string(error.what()).rfind("Cannot open file \"" + path + "\".", 0), 0u)
          << error.what();
    }
  }
}

}  // namespace
}  // namespace varsk
