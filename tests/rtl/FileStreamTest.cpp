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

// The head is read whole; past it, no more than the claim and the file hold.
TEST_F(FileStreamTest, ReadFileAsClaimedStopsAtTheClaimOrTheEnd) {
  const auto path = Write("claims.emf", "0123456789");
  struct Case {
    size_t head;
    uint64_t claim;
    const char* read;
  };
  for (const Case c : {Case{4, 6, "012345"}, {4, 2, "0123"}, {4, 1000, "0123456789"}, {20, 3, "0123456789"},
                       {0, UINT64_MAX, "0123456789"}}) {
    size_t seen = SIZE_MAX;
    const auto bytes = ReadFileAsClaimed(path, c.head, [&](const uint8_t*, size_t size) {
      seen = size;
      return c.claim;
    });
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.read) << c.head << ", " << c.claim;
    EXPECT_EQ(seen, std::min<size_t>(c.head, 10));
  }
}

// Of a source that does not say how much it holds, a claim is only read as
// far as bytes come; a claim over the ceiling is refused before reading on.
TEST(ReadAsClaimedTest, ASourceOfUnknownSizeGivesWhatComes) {
  const std::string text = "0123456789";
  struct Case {
    uint64_t claim, available;
    const char* read;  // nullptr: EOutOfMemory
    size_t asked;      // bytes taken from the source
  };
  for (const Case c : {Case{6, UINT64_MAX, "012345", 6}, {1000, UINT64_MAX, "0123456789", 10},
                       {UINT64_MAX, UINT64_MAX, "0123456789", 10}, {1000, 8, "01234567", 8},
                       {kLargestReadableFile + 1, UINT64_MAX, nullptr, 4},
                       {kLargestReadableFile + 1, 9, "012345678", 9}}) {
    size_t at = 0;
    const ReadSomeBytes source = [&](uint8_t* buffer, size_t count) {
      const size_t n = std::min(count, text.size() - at);
      std::copy(text.begin() + at, text.begin() + at + n, buffer);
      at += n;
      return n;
    };
    const auto claimed = [&](const uint8_t*, size_t) { return c.claim; };
    if (c.read) {
      const auto bytes = ReadAsClaimed(source, 4, claimed, c.available);
      EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.read) << c.claim << ", " << c.available;
    } else {
      EXPECT_THROW(ReadAsClaimed(source, 4, claimed, c.available), EOutOfMemory) << c.claim;
    }
    EXPECT_EQ(at, c.asked) << c.claim << ", " << c.available;
  }
}
