#include "subtitles/pending_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "subtitles/errors.h"

namespace vorlane {

namespace {

constexpr std::string_view kMarker = ".vorlane-";
constexpr std::size_t kRandomLength = 6;
constexpr std::size_t kNameLimit = NAME_MAX;  // bytes in one file name

// The table of live temporary names. A slot is free (0), being filled or
// emptied (1), or holds a name the signal handler may unlink (2). Names
// live in fixed arrays, so the handler touches no memory that another part
// of the program could free under it. The table is constant-initialised:
// zero-filled by the loader, so a run that writes few files touches few of
// its 64 pages (a dynamic initialiser would touch all at start-up).
constexpr int kSlots = 64;
struct Slot {
  std::atomic<int> state{0};
  char name[PATH_MAX] = {};
};
constinit Slot g_slots[kSlots];

int Register(const std::string& name) {
  if (name.size() >= PATH_MAX) return -1;
  for (int i = 0; i < kSlots; ++i) {
    int expected = 0;
    if (!g_slots[i].state.compare_exchange_strong(expected, 1)) continue;
    std::memcpy(g_slots[i].name, name.c_str(), name.size() + 1);
    g_slots[i].state.store(2);
    return i;
  }
  return -1;  // more live files than slots: a second signal cannot remove this one
}

void Unregister(int slot) {
  if (slot < 0) return;
  g_slots[slot].state.store(1);
  g_slots[slot].name[0] = '\0';
  g_slots[slot].state.store(0);
}

// Asked once: the name's random part changes with time and a counter too.
pid_t ProcessId() {
  static const pid_t pid = ::getpid();
  return pid;
}

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kCheckLength = 3;  // of the random part, the mark

// The mark of a temporary name: kCheckLength characters that hash the rest
// of the name, so that a later run can tell a file this program made from
// one a user happened to name alike.
std::string MarkOf(std::string_view name_without_mark) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  for (char c : std::string_view("vorlane temporary ")) {
    h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
  }
  for (char c : name_without_mark) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
  std::string mark(kCheckLength, 'x');
  for (char& c : mark) {
    c = kAlphabet[h % (sizeof kAlphabet - 1)];
    h /= sizeof kAlphabet - 1;
  }
  return mark;
}

std::string RandomPart() {
  static std::atomic<std::uint64_t> counter{0};
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  std::uint64_t x = static_cast<std::uint64_t>(now.tv_nsec) ^
                    (static_cast<std::uint64_t>(now.tv_sec) << 20) ^
                    (static_cast<std::uint64_t>(ProcessId()) << 40) ^
                    (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull);
  std::string out(kRandomLength - kCheckLength, 'x');
  for (char& c : out) {
    x ^= x >> 33;
    x *= 0xFF51AFD7ED558CCDull;
    x ^= x >> 29;
    c = kAlphabet[x % (sizeof kAlphabet - 1)];
  }
  return out;
}

bool IsAlphanumeric(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

}  // namespace

std::string TemporaryPrefixFor(const std::string& target) {
  const std::size_t slash = target.rfind('/');
  const std::string folder =
      slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  const std::size_t room = kNameLimit - 1 - kMarker.size() - kRandomLength;
  if (name.size() > room) name.resize(room);
  return folder + "." + name + std::string(kMarker);
}

bool IsTemporaryName(std::string_view name) {
  const std::size_t tail = kMarker.size() + kRandomLength;
  if (name.size() < 2 + tail || name.front() != '.') return false;
  if (name.substr(name.size() - tail, kMarker.size()) != kMarker) return false;
  for (char c : name.substr(name.size() - kRandomLength)) {
    if (!IsAlphanumeric(c)) return false;
  }
  return true;
}

bool IsOwnTemporaryName(std::string_view name) {
  if (!IsTemporaryName(name)) return false;
  const std::size_t cut = name.size() - kCheckLength;
  return name.substr(cut) == MarkOf(name.substr(0, cut));
}

std::string MarkedTemporaryName(const std::string& target) {
  const std::string name = TemporaryPrefixFor(target) + RandomPart();
  const std::size_t slash = name.rfind('/');
  return name + MarkOf(std::string_view(name).substr(slash == std::string::npos ? 0 : slash + 1));
}

PendingFile::PendingFile(std::string target) : target_(std::move(target)) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary_ = MarkedTemporaryName(target_);
    // Listed before it exists, so there is no moment in which the file is
    // there and a second signal would not find it.
    slot_ = Register(temporary_);
    fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0) return;
    const int error = errno;
    // Not ours: Fail must not remove it.
    temporary_.clear();
    Unregister(slot_);
    slot_ = -1;
    if (error != EEXIST) Fail(error);
  }
  Fail(EEXIST);
}

PendingFile::~PendingFile() {
  Abandon();
}

void PendingFile::Fail(int error) {
  Abandon();
  throw SubtitleError("Cannot create file \"" + target_ + "\". " + std::strerror(error));
}

void PendingFile::Write(std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      Fail(errno);
    }
    done += static_cast<std::size_t>(put);
  }
}

void PendingFile::Commit() {
  // A replaced file keeps its permission bits; a new one has those it was
  // created with.
  struct stat st {};
  if (::stat(target_.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) Fail(EISDIR);
    if (::fchmod(fd_, st.st_mode & 07777) != 0) Fail(errno);
  }
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) Fail(errno);
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) Fail(errno);
  Unregister(slot_);
  slot_ = -1;
  temporary_.clear();
}

void PendingFile::Abandon() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
  }
  Unregister(slot_);
  slot_ = -1;
}

int RemoveStaleTemporaries(const std::string& folder, long max_age_seconds,
                           std::vector<std::string>* unproven) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return 0;
  const time_t limit = ::time(nullptr) - max_age_seconds;
  int removed = 0;
  while (const dirent* entry = ::readdir(dir)) {
    if (!IsTemporaryName(entry->d_name)) continue;
    struct stat st {};
    if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(st.st_mode) || st.st_mtime >= limit) continue;
    if (!IsOwnTemporaryName(entry->d_name)) {
      if (unproven != nullptr) {
        unproven->push_back(folder.empty() || folder.back() == '/' ? folder + entry->d_name
                                                                   : folder + "/" + entry->d_name);
      }
      continue;
    }
    if (::unlinkat(::dirfd(dir), entry->d_name, 0) == 0) ++removed;
  }
  ::closedir(dir);
  return removed;
}

void RemoveLiveTemporaries() {
  for (Slot& slot : g_slots) {
    if (slot.state.load() == 2) ::unlink(slot.name);
  }
}

}  // namespace vorlane
