#include "render/OutputFile.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <thread>

#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/FileStream.h>

namespace orvanetools {

namespace {

// The names of the temporary files being written, for the signal handler,
// which may only read them: a slot is claimed (Free -> Filling), its name
// written, then published (Armed); the handler removes Armed names only.
enum SlotState : int { Free, Filling, Armed };
struct TemporarySlot {
  std::atomic<int> state{Free};
  char name[PATH_MAX] = {};  // zero, as the slots are, so they need no start-up code
};
constexpr size_t kSlots = 256;

// The signals that end a process by default and come from outside it (the
// faults a program causes itself are left to their defaults).
constexpr int kTerminatingSignals[] = {SIGHUP,  SIGINT,    SIGQUIT, SIGPIPE, SIGALRM, SIGTERM, SIGUSR1,
                                       SIGUSR2, SIGVTALRM, SIGPROF, SIGXCPU, SIGPOLL, SIGPWR};
TemporarySlot temporarySlots[kSlots];
std::atomic<unsigned> temporaryCounter{0};

void RemoveTemporariesAndDie(int signalNumber) {
  for (TemporarySlot& slot : temporarySlots)
    if (slot.state.load(std::memory_order_acquire) == Armed) ::unlink(slot.name);
  ::signal(signalNumber, SIG_DFL);
  ::raise(signalNumber);
}

// A claimed slot, freed when it goes.
class SlotClaim {
 public:
  SlotClaim() {
    for (;;) {
      for (TemporarySlot& slot : temporarySlots) {
        int expected = Free;
        if (slot.state.compare_exchange_strong(expected, Filling, std::memory_order_acquire)) {
          slot_ = &slot;
          return;
        }
      }
      std::this_thread::yield();  // more writers than slots: wait for one
    }
  }
  ~SlotClaim() { slot_->state.store(Free, std::memory_order_release); }
  SlotClaim(const SlotClaim&) = delete;
  SlotClaim& operator=(const SlotClaim&) = delete;

  // Publishes `name` for the handler; false when it does not fit.
  bool Arm(const std::string& name) {
    if (name.size() >= sizeof slot_->name) return false;
    std::memcpy(slot_->name, name.c_str(), name.size() + 1);
    slot_->state.store(Armed, std::memory_order_release);
    return true;
  }
  void Disarm() { slot_->state.store(Filling, std::memory_order_release); }

 private:
  TemporarySlot* slot_ = nullptr;
};

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path finally names: symbolic links followed (a relative link
// from the folder it lies in), the last one possibly dangling.
std::string FollowLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char target[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target - 1);
    if (length < 0) return path;
    target[length] = '\0';
    path = target[0] == '/' ? std::string(target) : FolderOf(path) + "/" + target;
  }
  throw orvane::rtl::EInOutError(orvane::rtl::InOutCodeForOpenError(ELOOP, path));
}

[[noreturn]] void Fail(int errnoValue, const std::string& path) {
  // No room left: on the disk, in the user's quota, or under the file size limit.
  if (errnoValue == ENOSPC || errnoValue == EDQUOT || errnoValue == EFBIG) throw orvane::rtl::EInOutError(101);
  throw orvane::rtl::EInOutError(orvane::rtl::InOutCodeForOpenError(errnoValue, path));
}

bool WriteAll(int fd, const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return false;
    if (put == 0) {
      errno = ENOSPC;
      return false;
    }
    done += size_t(put);
  }
  return true;
}

}  // namespace

void WriteOutputFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  WriteOutputFileFrom(path, [&bytes](int fd) { return WriteAll(fd, bytes); });
}

void WriteOutputFileFrom(const std::string& path, const std::function<bool(int fd)>& fill) {
  const std::string target = FollowLinks(path);
  struct stat existing {};
  const bool replacing = ::stat(target.c_str(), &existing) == 0;
  if (replacing && !S_ISREG(existing.st_mode)) throw orvane::rtl::EInOutError(5);
  // Renaming needs only the folder's permission; the file's own says
  // whether this user may change it.
  if (replacing && ::access(target.c_str(), W_OK) != 0) Fail(errno, target);

  SlotClaim slot;
  const std::string folder = FolderOf(target);
  std::string temporary;
  int fd = -1;
  while (fd < 0) {
    temporary = folder + "/.orvane-" + std::to_string(::getpid()) + "-" +
                std::to_string(temporaryCounter.fetch_add(1)) + ".tmp";
    if (!slot.Arm(temporary)) Fail(ENAMETOOLONG, target);
    // A new file's mode is 0666 less the umask, which open applies.
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) {
      const int code = errno;
      slot.Disarm();
      Fail(code, target);
    }
  }
  auto abandon = [&](int code) {
    ::close(fd);
    ::unlink(temporary.c_str());
    slot.Disarm();
    Fail(code, target);
  };
  if (replacing) {
    // Root replacing someone's file leaves it theirs; no one else can hand it on.
    if (::geteuid() == 0 && ::fchown(fd, existing.st_uid, existing.st_gid) != 0) abandon(errno);
    if (::fchmod(fd, existing.st_mode & 07777) != 0) abandon(errno);
  }
  if (!fill(fd)) abandon(errno);
  if (::close(fd) != 0) {
    const int code = errno;
    ::unlink(temporary.c_str());
    slot.Disarm();
    Fail(code, target);
  }
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    const int code = errno;
    ::unlink(temporary.c_str());
    slot.Disarm();
    Fail(code, target);
  }
  slot.Disarm();
}

void WriteStandardOutput(const std::vector<uint8_t>& bytes) {
  if (!WriteAll(STDOUT_FILENO, bytes)) Fail(errno, "-");
}

void RemoveTemporaryFilesOnSignals() {
  struct sigaction action {};
  action.sa_handler = RemoveTemporariesAndDie;
  sigfillset(&action.sa_mask);  // one handler at a time
  for (int signalNumber : kTerminatingSignals) {
    struct sigaction current {};
    // A signal the parent set to be ignored stays ignored, as it would without the handler.
    if (::sigaction(signalNumber, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
    ::sigaction(signalNumber, &action, nullptr);
  }
}

}  // namespace orvanetools
