#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/FileStream.h>

using namespace orvane::rtl;
namespace fs = std::filesystem;

namespace {
class FileStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("orvane-rtl-" + std::to_string(getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override {
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir);
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    const auto path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  int CodeOf(const std::string& path) {
    try {
      InputFile f(path);
    } catch (const EInOutError& e) {
      return e.ErrorCode();
    }
    return 0;
  }
  fs::path dir;
};
}  // namespace

TEST_F(FileStreamTest, OpenFailuresMapToRuntimeCodes) {
  EXPECT_EQ(CodeOf((dir / "missing.obm").string()), 2);
  EXPECT_EQ(CodeOf((dir / "no-folder" / "x.obm").string()), 3);
  EXPECT_EQ(CodeOf(dir.string()), 5);  // a folder is not a file
  if (geteuid() != 0) {
    const auto path = Write("locked.obm", "abcd");
    fs::permissions(path, fs::perms::none);
    EXPECT_EQ(CodeOf(path), 5);
  }
}

TEST_F(FileStreamTest, ReadOnlyFilesOpenForReading) {
  const auto path = Write("ro.obm", "abcd");
  fs::permissions(path, fs::perms::owner_read);
  InputFile f(path);
  char buffer[4];
  f.ReadExact(buffer, 4);
  EXPECT_EQ(std::string(buffer, 4), "abcd");
}

TEST_F(FileStreamTest, ShortReadFailsWithCode100) {
  const auto path = Write("short.obm", "abc");
  InputFile f(path);
  char buffer[4];
  try {
    f.ReadExact(buffer, 4);
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), 100);
    EXPECT_EQ(e.Message(), "Versuch hinter dem Dateiende zu lesen");
  }
}

TEST_F(FileStreamTest, ReadWholeFileNamesTheFileAsPassed) {
  EXPECT_EQ(ReadWholeFile(Write("a.emf", "xyz")).size(), 3u);
  try {
    ReadWholeFile("Socer.EMF-not-here");
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Datei Socer.EMF-not-here kann nicht geöffnet werden");
  }
}
