// Every input kept under fuzz/regressions/<target>/ goes through its reader
// again: each must load (and draw) or be refused with a runtime error.
// Anything else escaping, or a sanitizer report, fails the suite.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "InputBuilders.h"

namespace fs = std::filesystem;
using namespace robust;

namespace {

const std::map<std::string, Reader> kTargets = {
    {"metafile", Reader::Metafile}, {"wmf", Reader::Metafile},       {"bmp", Reader::Bitmap},
    {"icon", Reader::Icon},         {"sprite", Reader::Sprite},      {"picture_record", Reader::PictureRecord},
    {"form_definition", Reader::FormDefinition}};

TEST(RegressionFilesTest, EveryKeptInputFailsCleanlyOrLoads) {
  const fs::path root = fs::path(ORVANE_SOURCE_DIR) / "fuzz" / "regressions";
  std::map<std::string, int> counts;
  for (const auto& folder : fs::directory_iterator(root)) {
    const std::string target = folder.path().filename().string();
    const auto reader = kTargets.find(target);
    ASSERT_NE(reader, kTargets.end()) << "no reader for " << folder.path();
    for (const auto& file : fs::directory_iterator(folder.path())) {
      std::ifstream in(file.path(), std::ios::binary);
      const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      const Outcome o = RunReader(reader->second, bytes);
      // A refusal is an exception of the runtime with a text to show.
      if (!o.loaded) {
        EXPECT_FALSE(o.message.empty()) << file.path() << ": " << o.errorClass;
      }
      ++counts[target];
    }
  }
  // Every reader keeps its regressions.
  for (const auto& [target, reader] : kTargets) EXPECT_GT(counts[target], 0) << target;
}

}  // namespace
