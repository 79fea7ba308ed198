// orvane-render never loses or corrupts a user's files: closed standard
// descriptors never become outputs, an output is never one of the inputs,
// and standard input is read only as far as its header claims.

#include "RenderToolFixture.h"

#include <sys/resource.h>

namespace fs = std::filesystem;

namespace {

class RenderSafetyTest : public RenderToolFixture {
 protected:
  // Runs `command` through the shell as it stands (its own redirections).
  static int Shell(const std::string& command) {
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }
  std::string Tool() const { return ORVANE_RENDER_PATH; }
  std::string Quote(const std::string& name) { return "'" + Path(name) + "'"; }
  static int64_t ChildMinorFaults() {
    rusage usage {};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_minflt;
  }
};

}  // namespace

TEST_F(RenderSafetyTest, ClosedStandardDescriptorsNeverReachAnOutput) {
  ASSERT_EQ(Run("--fit 48x48 " + picturePath + " " + Quote("reference.png")).status, 0);
  const std::string reference = Slurp(Path("reference.png"));
  std::string inputs;
  for (int i = 0; i < 120; ++i) {
    const std::string name = "p" + std::to_string(i) + ".emf";
    fs::copy_file(picturePath, dir / name);
    inputs += " " + Quote(name);
  }
  fs::create_directories(dir / "out");
  // Every report line of the verbose batch goes to the closed standard error.
  EXPECT_EQ(Shell(Tool() + " -j 2 --verbose --fit 48x48 --output-dir " + Quote("out") + inputs + " <&- >&- 2>&-"), 0);
  ASSERT_EQ(Names(dir / "out").size(), 120u);
  for (const std::string& name : Names(dir / "out"))
    ASSERT_EQ(Slurp((dir / "out" / name).string()), reference) << name;
}

TEST_F(RenderSafetyTest, AnOutputThatIsAnInputIsRefusedAndTheInputKept) {
  const std::string original = Slurp(picturePath);
  fs::create_symlink(picturePath, dir / "link.png");
  fs::create_hard_link(picturePath, dir / "hard.png");
  const auto refused = [&](const std::string& output) {
    return "orvane-render: " + output + ": is the same file as the input " + picturePath + ": not replaced\n";
  };
  for (const char* output : {"link.png", "hard.png"}) {
    const RenderResult r = Run(picturePath + " " + Quote(output));
    EXPECT_EQ(r.status, 1) << output;
    EXPECT_EQ(r.err, refused(Path(output))) << output;
  }
  EXPECT_EQ(Slurp(picturePath), original);

  // In a batch: an input named as its own output (a sprite file drawn to a
  // sprite file, a PNG-named metafile), and an output that links to an input.
  fs::create_directories(dir / "d");
  ASSERT_EQ(Run("--size 20x15 " + picturePath + " " + Quote("d/s.obm")).status, 0);
  const std::string sprite = Slurp(Path("d/s.obm"));
  fs::copy_file(picturePath, dir / "d" / "x.png");
  fs::copy_file(picturePath, dir / "other.emf");
  fs::create_symlink(Path("other.emf"), dir / "d" / "linked.obm");
  fs::copy_file(picturePath, dir / "linked.emf");
  const RenderResult batch = Run("--format obm --output-dir " + Quote("d") + " " + Quote("d/s.obm") + " " +
                                 Quote("other.emf") + " " + Quote("linked.emf"));
  EXPECT_EQ(batch.status, 1);
  EXPECT_NE(batch.err.find("orvane-render: " + Path("d/s.obm") + ": is the same file as the input " + Path("d/s.obm")),
            std::string::npos)
      << batch.err;
  // d/linked.obm, the output of linked.emf, leads to other.emf, another input.
  EXPECT_NE(batch.err.find("orvane-render: " + Path("d/linked.obm") + ": is the same file as the input " +
                           Path("other.emf")),
            std::string::npos)
      << batch.err;
  EXPECT_EQ(Slurp(Path("d/s.obm")), sprite);
  EXPECT_EQ(Slurp(Path("other.emf")), original);
  EXPECT_TRUE(fs::exists(dir / "d" / "other.obm"));  // the others are drawn
  const RenderResult png = Run("--output-dir " + Quote("d") + " " + Quote("d/x.png"));
  EXPECT_EQ(png.status, 1);
  EXPECT_EQ(Slurp(Path("d/x.png")), original);
}

TEST_F(RenderSafetyTest, StandardInputIsReadOnlyAsFarAsItsHeaderClaims) {
  const RenderResult empty = Run("- " + Quote("e.png") + " < /dev/null");
  EXPECT_EQ(empty.status, 1);
  EXPECT_EQ(empty.err, "orvane-render: -: standard input is empty\n");
  // 256 MiB that no reader knows: only the first bytes are taken.
  const int64_t before = ChildMinorFaults();
  EXPECT_EQ(Shell("head -c 268435456 /dev/zero | " + Tool() + " - " + Quote("z.png") + " 2>/dev/null"), 1);
  EXPECT_LT(ChildMinorFaults() - before, 8192);  // reading it all would touch 65,536 pages and more
  EXPECT_FALSE(fs::exists(dir / "z.png"));
}
