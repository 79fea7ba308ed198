// The command line of orvane-render: which forms are accepted, which usage
// errors are named, and the outputs a batch plans.

#include <gtest/gtest.h>

#include <sstream>

#include "render/Batch.h"
#include "render/RenderOptions.h"

namespace {

std::vector<std::string> Split(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

}  // namespace

TEST(RenderOptionsTest, UsageErrorsNameTheProblemInOneLine) {
  const struct {
    const char* args;
    const char* error;  // empty: accepted
  } cases[] = {
      {"a.emf b.png", ""},
      {"a b.OBM", ""},
      {"--format png a.emf out", ""},
      {"- -", ""},
      {"--fit 16384x16384 a b.png", ""},
      {"--output-dir d -j 4 --format obm a.emf b.wmf", ""},
      {"--fit 16385x10 a b.png", "--fit 16385x10 is above the limit of 16384x16384"},
      {"--size 10x20000 a b.png", "--size 10x20000 is above the limit of 16384x16384"},
      {"--fit 0x10 a b.png", "bad size '0x10': expected WxH, both at least 1"},
      {"--size 10x10 --fit 5x5 a b.png", "--size, --fit and --dpi exclude each other: give one"},
      {"--dpi 0 a b.png", "bad resolution '0': expected dots per inch above 0"},
      {"--dpi nan a b.png", "bad resolution 'nan': expected dots per inch above 0"},
      {"--dpi 300 a.obm b.png", "a sprite file is drawn at its own size: --size, --fit and --dpi are not allowed"},
      {"-j 0 --output-dir d a", "bad number of jobs '0': expected 1 to 256"},
      {"--jobs 257 --output-dir d a", "bad number of jobs '257': expected 1 to 256"},
      {"--format gif a b", "bad format 'gif': expected png or obm"},
      {"--format obm a b.png", "OUTPUT's extension and --format disagree"},
      {"a b.jpg", "OUTPUT must end in .png or .obm (or give --format)"},
      {"a", "expected INPUT and OUTPUT"},
      {"--output-dir d", "--output-dir needs at least one INPUT"},
      {"--output-dir d a -", "standard input (-) cannot be drawn with --output-dir"},
      {"--bogus a b.png", "unknown option --bogus"},
  };
  for (const auto& c : cases) {
    orvanetools::RenderOptions options;
    EXPECT_EQ(orvanetools::ParseRenderOptions(Split(c.args), options), c.error) << c.args;
  }
}

TEST(RenderOptionsTest, ABatchWritesEachInputUnderItsNameAndRefusesTwoForOneName) {
  orvanetools::RenderOptions options;
  ASSERT_EQ(orvanetools::ParseRenderOptions(Split("--output-dir out/ x/a.emf x.y/b .hidden c.tar.wmf"), options), "");
  std::vector<orvanetools::RenderTask> tasks;
  ASSERT_EQ(orvanetools::PlanBatch(options, tasks), "");
  std::vector<std::string> outputs;
  for (const auto& t : tasks) outputs.push_back(t.output);
  EXPECT_EQ(outputs, (std::vector<std::string>{"out/a.png", "out/b.png", "out/.hidden.png", "out/c.tar.png"}));

  orvanetools::RenderOptions clash;
  ASSERT_EQ(orvanetools::ParseRenderOptions(Split("--output-dir out a.emf b.emf x/a.wmf"), clash), "");
  tasks.clear();
  EXPECT_EQ(orvanetools::PlanBatch(clash, tasks), "x/a.wmf and a.emf would both be written to out/a.png");
}
