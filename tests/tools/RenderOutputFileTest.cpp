// The output files of orvane-render: modes, links, long names, permission
// and interruption, each leaving nothing but the output behind.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include <orvane/rtl/Exceptions.h>
#include "render/OutputFile.h"
#include "render/StandardDescriptors.h"

namespace fs = std::filesystem;

namespace {

class RenderOutputFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("orvane-output-" + std::to_string(getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  static std::string Content(const std::string& path) {
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  static mode_t Mode(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info.st_mode;
  }
  size_t Entries() const { return size_t(std::distance(fs::directory_iterator(dir), fs::directory_iterator())); }
  static void Write(const std::string& path, const std::string& text) {
    orvanetools::WriteOutputFile(path, std::vector<uint8_t>(text.begin(), text.end()));
  }
  // Writes `text` to `path` in a child process once `prepare` has run there.
  // The child's exit code: 0 when the write fails with `message`, 1 when it
  // succeeds, 2 when it fails otherwise, 77 when `prepare` could not be
  // done; -1 when the child could not be run or did not exit.
  static int WriteInChild(const std::function<bool()>& prepare, const std::string& path, const std::string& text,
                          const std::string& message) {
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
      if (!prepare()) ::_exit(77);
      try {
        Write(path, text);
      } catch (const orvane::rtl::EInOutError& e) {
        ::_exit(e.Message() == message ? 0 : 2);
      }
      ::_exit(1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
  }

  fs::path dir;
};

}  // namespace

TEST_F(RenderOutputFileTest, NewFilesFollowTheUmaskAndReplacedFilesKeepTheirMode) {
  const mode_t previous = ::umask(027);
  Write(Path("new.png"), "one");
  ::umask(previous);
  EXPECT_EQ(Mode(Path("new.png")) & 07777, 0640u);

  ::chmod(Path("new.png").c_str(), 0604);
  Write(Path("new.png"), "two");
  EXPECT_EQ(Content(Path("new.png")), "two");
  EXPECT_EQ(Mode(Path("new.png")) & 07777, 0604u);
  EXPECT_EQ(Entries(), 1u);
}

TEST_F(RenderOutputFileTest, ALinkIsWrittenThroughAndStays) {
  fs::create_directories(dir / "real");
  Write(Path("real/target.png"), "old");
  fs::create_symlink("real/target.png", dir / "link.png");        // relative
  fs::create_symlink(dir / "link.png", dir / "link-to-link.png");  // absolute, to a link
  fs::create_symlink("real/fresh.png", dir / "dangling.png");
  Write(Path("link-to-link.png"), "new");
  Write(Path("dangling.png"), "made");
  EXPECT_TRUE(S_ISLNK(Mode(Path("link.png"))));
  EXPECT_TRUE(S_ISLNK(Mode(Path("link-to-link.png"))));
  EXPECT_TRUE(S_ISLNK(Mode(Path("dangling.png"))));
  EXPECT_EQ(Content(Path("real/target.png")), "new");
  EXPECT_EQ(Content(Path("real/fresh.png")), "made");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), fs::directory_iterator()), 2);
}

TEST_F(RenderOutputFileTest, NamesUpToTheFileSystemsLimitWork) {
  const std::string longest(255 - 4, 'n');
  Write(Path(longest + ".png"), "long");
  EXPECT_EQ(Content(Path(longest + ".png")), "long");
  EXPECT_EQ(Entries(), 1u);
}

TEST_F(RenderOutputFileTest, FailuresGiveTheRuntimesTextAndLeaveNothing) {
  fs::create_directories(dir / "folder.png");
  const struct {
    std::string path;
    const char* message;
  } cases[] = {{Path("missing/out.png"), "Ungültiger Dateiname"},
               {Path("folder.png"), "Dateizugriff verweigert"},
               {Path(std::string(256, 'n')), "Ungültiger Dateiname"}};
  for (const auto& c : cases) {
    try {
      Write(c.path, "x");
      ADD_FAILURE() << c.path;
    } catch (const orvane::rtl::EInOutError& e) {
      EXPECT_EQ(e.Message(), c.message) << c.path;
    }
  }
  EXPECT_EQ(Entries(), 1u);  // folder.png
}

TEST_F(RenderOutputFileTest, AFullDiskGivesTheWriteErrorAndLeavesNothing) {
  // The file size limit stands in for a full disk: writes past it fail.
  const auto fillTheDisk = [] {
    const rlimit limit{4, 4};
    ::signal(SIGXFSZ, SIG_IGN);
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
  };
  EXPECT_EQ(WriteInChild(fillTheDisk, Path("full.png"), "more than four bytes", "Zu wenig Speicherplatz"), 0);
  EXPECT_EQ(Entries(), 0u);
}

TEST_F(RenderOutputFileTest, AWriteProtectedFileIsRefusedToAnOrdinaryUser) {
  Write(Path("kept.png"), "kept");
  ::chmod(Path("kept.png").c_str(), 0444);
  ::chmod(dir.c_str(), 0777);  // the folder would let anyone rename over the file
  // As root, become an ordinary user first.
  const auto beOrdinary = [] { return ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0); };
  const int status = WriteInChild(beOrdinary, Path("kept.png"), "replaced", "Dateizugriff verweigert");
  if (status == 77) GTEST_SKIP() << "cannot run as an ordinary user here";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Content(Path("kept.png")), "kept");
  EXPECT_EQ(Entries(), 1u);
}

TEST_F(RenderOutputFileTest, ASignalDuringTheWriteRemovesTheTemporaryFile) {
  for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGALRM, SIGPIPE}) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const rlimit noCore{0, 0};
      ::setrlimit(RLIMIT_CORE, &noCore);  // SIGQUIT would leave a core file
      ::signal(signalNumber, SIG_DFL);    // whatever the test runner set
      orvanetools::RemoveTemporaryFilesOnSignals();
      orvanetools::WriteOutputFileFrom(Path("out.png"), [signalNumber](int fd) {
        // Half written when the signal comes.
        if (::write(fd, "part", 4) != 4) return false;
        ::raise(signalNumber);
        return true;
      });
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << signalNumber;
    EXPECT_EQ(WTERMSIG(status), signalNumber);
    EXPECT_EQ(Entries(), 0u) << signalNumber;
  }
}

// A signal ignored when the program starts (trap '' INT in the shell that
// runs it) stays ignored: the write goes on and completes.
TEST_F(RenderOutputFileTest, AnIgnoredSignalStaysIgnored) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGINT, SIG_IGN);
    orvanetools::RemoveTemporaryFilesOnSignals();
    orvanetools::WriteOutputFileFrom(Path("out.png"), [](int fd) {
      if (::write(fd, "part", 4) != 4) return false;
      ::raise(SIGINT);
      return ::write(fd, "-whole", 6) == 6;
    });
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Content(Path("out.png")), "part-whole");
  EXPECT_EQ(Entries(), 1u);
}

// Started with standard error closed, the next file opened would take its
// number, and a report written meanwhile would land inside that file.
TEST_F(RenderOutputFileTest, AReportNeverReachesAnOutputWhenStandardErrorWasClosed) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(STDERR_FILENO);
    orvanetools::OpenClosedStandardDescriptors();
    orvanetools::WriteOutputFileFrom(Path("out.png"), [](int fd) {
      if (::write(fd, "picture", 7) != 7) return false;
      std::fputs("a report\n", stderr);
      std::fflush(stderr);
      return true;
    });
    ::_exit(::fcntl(STDERR_FILENO, F_GETFD) == -1 ? 3 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Content(Path("out.png")), "picture");
}
