#include "platform/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <random>
#include <cstring>
#include <system_error>

#include "platform/textrules.h"

namespace zarn::platform {

namespace fs = std::filesystem;

namespace {

// Names on disk may be Latin-1 bytes (written by this program in the past) or UTF-8 (written
// by everything else); the program's own names are Latin-1.
std::string diskname_latin1(const std::string& disk) {
  std::string l;
  return text::utf8tolatin1(disk, l) ? l : disk;
}

bool haswildcard(std::string_view s) { return s.find_first_of("*?") != std::string_view::npos; }

// DOS wildcards: "*" any run, "?" one character, without regard to case. "*.*" matches every
// name, and a pattern ending in ".*" also matches the name without any extension.
bool globmatch(std::string_view p, std::string_view n) {
  std::size_t pi = 0, ni = 0, star = std::string_view::npos, mark = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
      ++pi;
      ++ni;
    } else if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      mark = ni;
    } else if (star != std::string_view::npos) {
      pi = star + 1;
      ni = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

bool dosmatch(std::string_view pattern, const std::string& disk) {
  std::string p = text::ucase(pattern);
  if (p == "*.*") p = "*";
  const std::string names[2] = {text::ucase(disk), text::ucase(diskname_latin1(disk))};
  for (const std::string& n : names) {
    if (globmatch(p, n)) return true;
    if (p.size() >= 2 && p.compare(p.size() - 2, 2, ".*") == 0 && n.find('.') == std::string::npos &&
        globmatch(std::string_view(p).substr(0, p.size() - 2), n))
      return true;
  }
  return false;
}

// "C:\MAPS\X.BMP" -> "/MAPS/X.BMP"; "MAPS\X.BMP " -> "MAPS/X.BMP". Like DOS, trailing blanks
// and dots of each part are not part of the name: names cut from fixed-width lines still work.
std::string normalise(std::string_view name) {
  std::string n(name);
  std::replace(n.begin(), n.end(), '\\', '/');
  if (n.size() >= 2 && n[1] == ':' && ((n[0] >= 'A' && n[0] <= 'Z') || (n[0] >= 'a' && n[0] <= 'z')))
    n.erase(0, 2);
  std::string out;
  std::size_t i = 0;
  while (i <= n.size()) {
    std::size_t j = n.find('/', i);
    if (j == std::string::npos) j = n.size();
    std::string part = n.substr(i, j - i);
    if (part != "." && part != ".." && !haswildcard(part))
      while (!part.empty() && (part.back() == ' ' || part.back() == '.')) part.pop_back();
    out += part;
    if (j < n.size()) out += '/';
    i = j + 1;
  }
  return out;
}

// Directory part and last part of a normalised name ("MAPS/*.DES" -> "MAPS/", "*.DES").
void splitlast(const std::string& n, std::string& dir, std::string& last) {
  const std::size_t slash = n.rfind('/');
  if (slash == std::string::npos) {
    dir.clear();
    last = n;
  } else {
    dir = n.substr(0, slash + 1);
    last = n.substr(slash + 1);
  }
}

bool present(const fs::path& p) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(p, ec));
}

// The text of a file as the old runtime read text: everything before an end-of-file mark
// (Ctrl+Z) that DOS editors put at the end.
std::string textpart(std::string s) {
  const std::size_t z = s.find('\x1A');
  if (z != std::string::npos) s.resize(z);
  return s;
}

// Entries of a directory matching a DOS pattern, sorted without regard to case.
std::vector<fs::directory_entry> matching(const fs::path& dir, std::string_view pattern) {
  std::vector<fs::directory_entry> out;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
    if (dosmatch(pattern, it->path().filename().string())) out.push_back(*it);
  std::sort(out.begin(), out.end(), [](const fs::directory_entry& a, const fs::directory_entry& b) {
    return text::ucase(a.path().filename().string()) < text::ucase(b.path().filename().string());
  });
  return out;
}

bool isfile(const fs::directory_entry& e) {
  std::error_code ec;
  return e.is_regular_file(ec);
}

}  // namespace

Files::Files(fs::path workdir) : workdir_(std::move(workdir)) {}

fs::path Files::resolve(std::string_view name) const {
  const std::string n = normalise(name);
  if (!confined(n)) ++outside_;
  fs::path cur = !n.empty() && n[0] == '/' ? fs::path("/") : workdir_;
  bool found = true;  // every part so far exists on disk
  std::size_t i = 0;
  while (i <= n.size()) {
    std::size_t j = n.find('/', i);
    if (j == std::string::npos) j = n.size();
    const std::string part = n.substr(i, j - i);
    i = j + 1;
    if (part.empty() || part == ".") continue;
    if (!found || part == "..") {
      cur /= found ? part : text::latin1toutf8(part);
      continue;
    }
    if (present(cur / part)) {
      cur /= part;
      continue;
    }
    if (const auto disk = diskname(cur, text::ucase(part))) {
      cur /= *disk;
    } else {
      // A new name: created in UTF-8 so that other programs show it properly.
      found = false;
      cur /= text::latin1toutf8(part);
    }
  }
  return cur;
}

bool settled(fs::file_time_type t) { return fs::file_time_type::clock::now() - t > std::chrono::seconds(2); }

std::optional<std::string> Files::diskname(const fs::path& dir, const std::string& key) const {
  std::error_code ec;
  const auto time = fs::last_write_time(dir, ec);
  if (ec) return std::nullopt;
  const std::lock_guard hold(listlock_);
  Listing& l = listings_[dir.string()];
  const auto found = [&]() -> std::optional<std::string> {
    const auto hit = l.names.find(key);
    if (hit == l.names.end()) return std::nullopt;
    return hit->second;
  };
  if (l.kept && l.time == time) return found();
  l.time = time;
  l.kept = settled(time);
  l.names.clear();
  auto keep = [&l](std::string key, const std::string& disk) {
    auto [it, added] = l.names.emplace(std::move(key), disk);
    if (!added && disk < it->second) it->second = disk;
  };
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string disk = it->path().filename().string();
    keep(text::ucase(disk), disk);
    if (const std::string latin = diskname_latin1(disk); latin != disk) keep(text::ucase(latin), disk);
  }
  if (ec) {
    listings_.erase(dir.string());
    return std::nullopt;
  }
  return found();
}

bool Files::exists(std::string_view name) const {
  const std::string n = normalise(name);
  if (n.empty()) return false;
  std::string dir, last;
  splitlast(n, dir, last);
  if (haswildcard(last)) return !matching(resolve(dir), last).empty();
  std::error_code ec;
  return fs::exists(resolve(n), ec);
}

std::optional<Files::Stamp> Files::stamp(std::string_view name) const {
  const std::string n = normalise(name);
  if (n.empty()) return std::nullopt;
  const fs::path p = resolve(n);
  std::error_code ec, te;
  const auto size = fs::file_size(p, ec);
  const auto time = fs::last_write_time(p, te);
  if (ec || te) return std::nullopt;
  return Stamp{size, time};
}

std::vector<std::string> Files::list(std::string_view pattern) const {
  std::string dir, last;
  splitlast(normalise(pattern), dir, last);
  std::vector<std::string> out;
  for (const auto& e : matching(resolve(dir), last))
    if (isfile(e)) out.push_back(diskname_latin1(e.path().filename().string()));
  return out;
}

bool Files::remove(std::string_view name) const {
  std::string dir, last;
  const std::string n = normalise(name);
  splitlast(n, dir, last);
  std::error_code ec;
  if (haswildcard(last)) {
    bool any = false;
    for (const auto& e : matching(resolve(dir), last))
      if (isfile(e) && fs::remove(e.path(), ec)) any = true;
    return any;
  }
  const fs::path p = resolve(n);
  if (fs::is_directory(fs::symlink_status(p, ec))) return false;  // Kill removes files only
  return fs::remove(p, ec);
}

bool Files::rename(std::string_view from, std::string_view to) const {
  const fs::path src = resolve(from);
  fs::path dst = resolve(to);
  std::error_code ec;
  if (!present(src)) return false;
  // Name ... As never replaced an existing file; renaming a file onto itself changes the case
  // of its name.
  if (present(dst)) {
    if (!fs::equivalent(src, dst, ec)) return false;
    std::string dir, last;
    splitlast(normalise(to), dir, last);
    dst = dst.parent_path() / text::latin1toutf8(last);
  }
  fs::rename(src, dst, ec);
  return !ec;
}

namespace {

// The bytes of a regular file of at most `limit` bytes (with `cut`, its first `limit` bytes);
// otherwise nullopt and the reason (left empty when the file is missing). Opened without
// blocking, so a FIFO is seen, never waited on.
std::string toolarge(std::size_t n, std::size_t limit) {
  return "too large (" + std::to_string(n) + " bytes, limit " + std::to_string(limit) + ")";
}

// The file opened for reading when it is a regular file within the limit (or any size, when
// `cut`); otherwise -1 and the reason (none for a file that is not there). A FIFO never blocks.
int openbounded(const fs::path& p, std::size_t limit, std::string& reason, bool cut, std::size_t& size) {
  const int fd = ::open(p.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT && errno != ENOTDIR) reason = std::string("unreadable: ") + std::strerror(errno);
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    reason = std::string("unreadable: ") + std::strerror(errno);
  } else if (!S_ISREG(st.st_mode)) {
    reason = "not a regular file";
  } else {
    size = static_cast<std::size_t>(st.st_size);
    if (size <= limit || cut) return fd;
    reason = toolarge(size, limit);
  }
  ::close(fd);
  return -1;
}

std::optional<std::string> readbounded(const fs::path& p, std::size_t limit, std::string& reason, bool cut = false) {
  std::size_t size = 0;
  const int fd = openbounded(p, limit, reason, cut, size);
  if (fd < 0) return std::nullopt;
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  // The size may change while we read: never more than the limit and one byte to tell.
  std::string s(std::min(size, limit) + 1, '\0');
  std::size_t got = 0;
  for (;;) {
    if (got == s.size()) {
      if (got > limit && !cut) {
        reason = toolarge(got, limit);
        return std::nullopt;
      }
      if (got > limit) {
        got = limit;
        break;
      }
      s.resize(std::min(limit + 1, s.size() * 2 + 4096));
    }
    const ssize_t n = ::read(fd, s.data() + got, s.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      reason = std::string("unreadable: ") + std::strerror(errno);
      return std::nullopt;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  s.resize(got);
  return s;
}

std::string named(std::string_view name, const std::string& reason) {
  return reason.empty() ? reason : std::string(name) + ": " + reason;
}

}  // namespace

std::optional<std::string> Files::read(std::string_view name, std::size_t limit, std::string* why) const {
  std::string reason;
  auto s = readbounded(resolve(name), limit, reason);
  if (why) *why = named(name, reason);
  return s;
}

bool regularorabsent(const fs::path& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) != 0 || S_ISREG(st.st_mode);
}

std::string Files::refusal(std::string_view name, std::size_t limit) const {
  // Opened and looked at, not read: start-up asks this of every file it is about to read.
  std::string reason;
  std::size_t size = 0;
  if (const int fd = openbounded(resolve(name), limit, reason, false, size); fd >= 0) ::close(fd);
  return named(name, reason);
}

bool Files::confined(std::string_view name, std::string_view extra) const {
  std::string n = normalise(name);
  const std::string x = normalise(extra);
  // A name beginning with the extra-maps folder is judged by the rest of it.
  if (!x.empty() && text::ucase(n).starts_with(text::ucase(x))) n.erase(0, x.size());
  else if (!n.empty() && n[0] == '/') return false;
  for (std::size_t i = 0; i <= n.size();) {
    std::size_t j = n.find('/', i);
    if (j == std::string::npos) j = n.size();
    if (n.compare(i, j - i, "..") == 0) return false;
    i = j + 1;
  }
  return true;
}

std::optional<std::vector<std::string>> Files::readlines(std::string_view name, std::size_t limit,
                                                         std::string* why) const {
  auto s = read(name, limit, why);
  if (!s) return std::nullopt;
  return splitlines(textpart(std::move(*s)));
}

std::string Files::readfirstline(std::string_view name, std::string* why) const {
  // Only the start of the file is read (64 KB): the files asked for their first line include
  // logs that grow.
  std::string reason;
  const auto s = readbounded(resolve(name), 64 << 10, reason, true);
  if (why) *why = named(name, reason);
  const auto lines = splitlines(textpart(s.value_or(std::string())));
  return lines.empty() ? std::string() : lines.front();
}

bool Files::write(std::string_view name, std::string_view bytes, std::string* error) const {
  auto f = OutputFile::open(*this, name, OutputFile::Mode::Output, error);
  if (!f) return false;
  f->printpart(bytes);
  return f->close(error);
}

bool Files::writelines(std::string_view name, const std::vector<std::string>& lines, std::string* error) const {
  auto f = OutputFile::open(*this, name, OutputFile::Mode::Output, error);
  if (!f) return false;
  for (const auto& l : lines)
    if (!f->print(l)) break;
  return f->close(error);
}

// --- Input # ---------------------------------------------------------------------------

std::optional<InputFile> InputFile::open(const Files& files, std::string_view name, std::size_t limit,
                                         std::string* why) {
  auto s = files.read(name, limit, why);
  if (!s) return std::nullopt;
  return InputFile(textpart(std::move(*s)));
}

bool InputFile::eof() const { return pos_ >= data_.size(); }

std::string InputFile::lineinput() {
  const std::size_t start = pos_;
  while (pos_ < data_.size() && data_[pos_] != '\r' && data_[pos_] != '\n') ++pos_;
  std::string line = data_.substr(start, pos_ - start);
  if (pos_ < data_.size() && data_[pos_] == '\r') {
    ++pos_;
    if (pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
  } else if (pos_ < data_.size()) {
    ++pos_;  // LF
  }
  return line;
}

void InputFile::skipseparator() {
  if (pos_ >= data_.size()) return;
  if (data_[pos_] == ',') {
    ++pos_;
  } else if (data_[pos_] == '\r') {
    ++pos_;
    if (pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
  } else if (data_[pos_] == '\n') {
    ++pos_;
  }
}

std::string InputFile::field() {
  auto lineend = [this] { return data_[pos_] == '\r' || data_[pos_] == '\n'; };
  while (pos_ < data_.size() && (data_[pos_] == ' ' || data_[pos_] == '\t')) ++pos_;
  if (pos_ >= data_.size()) return {};
  std::string f;
  if (data_[pos_] == '"') {
    // A quoted field ends at its closing quote; a quote left open ends at the line end so that
    // one bad record cannot swallow the rest of the file.
    ++pos_;
    const std::size_t start = pos_;
    while (pos_ < data_.size() && data_[pos_] != '"' && !lineend()) ++pos_;
    f = data_.substr(start, pos_ - start);
    if (pos_ < data_.size() && data_[pos_] == '"') ++pos_;
    while (pos_ < data_.size() && data_[pos_] != ',' && !lineend()) ++pos_;
  } else {
    const std::size_t start = pos_;
    while (pos_ < data_.size() && data_[pos_] != ',' && !lineend()) ++pos_;
    f = data_.substr(start, pos_ - start);
    while (!f.empty() && (f.back() == ' ' || f.back() == '\t')) f.pop_back();
  }
  skipseparator();
  return f;
}

double InputFile::number() { return text::val(field()); }

// --- Print # / Write # -----------------------------------------------------------------

namespace {

std::string reason(int err) { return std::generic_category().message(err); }

// A save's temporary file is named ".NAME" + tempword + eight of tempdigits, after the name it
// replaces: the word is ours, so that the start-up clean-up never takes another program's file.
constexpr std::string_view tempword = ".zarn-save.";
constexpr std::string_view tempdigits = "0123456789abcdefghijklmnopqrstuvwxyz";
constexpr std::size_t tempsuffix = 8;

// A save's temporary name, or what a save of a name near the longest its folder takes makes of
// it: the name cut so that ours still fits (or ".zarn-save.xxxxxxxx" alone, when nothing fits).
// A dot-file's begins with two dots.
bool istempname(std::string_view n) {
  if (n.size() < tempword.size() + tempsuffix || n[0] != '.') return false;
  if (n.size() < 2 + tempword.size() + tempsuffix && n.size() != tempword.size() + tempsuffix) return false;
  const std::string_view tail = n.substr(n.size() - tempsuffix);
  return n.substr(n.size() - tempsuffix - tempword.size(), tempword.size()) == tempword &&
         tail.find_first_not_of(tempdigits) == std::string_view::npos;
}

// True when the path names the open file itself (not a link to it, not a file put in its place).
bool isnamed(int fd, const fs::path& p) {
  struct stat open {}, named {};
  return ::fstat(fd, &open) == 0 && ::lstat(p.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
         open.st_ino == named.st_ino;
}

// Takes the lock of a new file, waiting a little while the clean-up of another copy of the
// program looks at it: 1 held, -1 held elsewhere all along, 0 when the file system cannot lock.
int locknew(int fd) {
  for (int waits = 0;; ++waits) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return 1;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return 0;
    if (waits == 250) return -1;
    ::usleep(2000);
  }
}

// The part of a file name that fits in `room` bytes, not cut inside a UTF-8 character.
std::string cutname(const std::string& name, std::size_t room) {
  std::size_t n = std::min(room, name.size());
  while (n > 0 && n < name.size() && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80) --n;
  return name.substr(0, n);
}

// A new file beside `target` under a name no one else uses (created exclusively), with the old
// file's owner and permissions where the process may keep them; -1 with errno set when none can
// be made. The file is locked for as long as the save holds it open, which tells the clean-up of
// another copy of the program that the save is under way, however long it leaves the file
// untouched; one taken by a clean-up before it was locked is left for another.
int maketemp(const fs::path& target, fs::path& temp) {
  std::random_device rd;
  std::string base = target.filename().string();
  for (int tries = 0; tries < 100; ++tries) {
    std::string suffix(tempword);
    for (std::size_t i = 0; i < tempsuffix; ++i) suffix += tempdigits[rd() % tempdigits.size()];
    temp = target.parent_path() / ((base.empty() ? std::string() : "." + base) + suffix);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno == ENAMETOOLONG && !base.empty()) {
      // A name near the longest the folder takes: the temporary name is cut to fit.
      const long most = ::pathconf(target.parent_path().c_str(), _PC_NAME_MAX);
      const std::size_t room = most > 0 ? static_cast<std::size_t>(most) : 255;
      const std::size_t fits = room > suffix.size() + 2 ? room - suffix.size() - 1 : 0;
      base = fits < base.size() ? cutname(base, fits) : std::string();
      continue;
    }
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return -1;
    const bool ours = isnamed(fd, temp);
    if (locknew(fd) < 0 || !ours || !isnamed(fd, temp)) {
      if (ours && isnamed(fd, temp)) ::unlink(temp.c_str());
      ::close(fd);
      continue;
    }
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) {
      // The owner first: a change of owner drops the set-id bits the mode puts back. One that
      // may not give the file away keeps at least its group where it may.
      [[maybe_unused]] const bool given =
          ::fchown(fd, old.st_uid, old.st_gid) == 0 || ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
      ::fchmod(fd, old.st_mode & 07777);
    }
    return fd;
  }
  errno = EEXIST;
  return -1;
}

// What a file of this mode is, for messages ("a FIFO").
std::string kindof(unsigned mode) {
  switch (mode & S_IFMT) {
    case S_IFIFO: return "a FIFO";
    case S_IFCHR: return "a character device";
    case S_IFBLK: return "a block device";
    case S_IFSOCK: return "a socket";
    case S_IFDIR: return "a folder";
    default: return "a special file";
  }
}

// What is at the path when it is neither missing nor a regular file ("a FIFO"); empty
// otherwise. A link is followed: it is what it names.
std::string notregular(const fs::path& p) {
  struct stat st {};
  if (::stat(p.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return {};
  if (S_ISDIR(st.st_mode)) return reason(EISDIR);
  return kindof(st.st_mode) + ", not a regular file";
}

// Where a save of the path writes: the path itself, or for a link the file it leads to, link
// after link. A link to a file still to be made is followed as one to an existing file, so long
// as it names it as a data file may name one (no "..", no absolute path): it is made beside the
// link. Otherwise empty, and `why` says so.
fs::path throughlinks(const Files& files, fs::path p, std::string& why) {
  std::error_code ec;
  for (int hops = 0; hops < 40; ++hops) {
    if (!fs::is_symlink(fs::symlink_status(p, ec))) return p;
    if (fs::exists(fs::status(p, ec))) {
      const fs::path target = fs::weakly_canonical(p, ec);
      return ec ? p : target;
    }
    const fs::path to = fs::read_symlink(p, ec);
    if (ec || to.empty()) break;
    if (!files.confined(to.string())) {
      why = "a link to a missing file outside its folder (" + to.string() + ")";
      return {};
    }
    p = p.parent_path() / to;
  }
  why = reason(ELOOP);
  return {};
}

}  // namespace

std::unique_ptr<OutputFile> OutputFile::open(const Files& files, std::string_view name, Mode mode,
                                             std::string* error) {
  fs::path p = files.resolve(name);
  fs::path temp;
  const auto refuse = [&](const std::string& why) {
    if (error)
      *error = why;
    else if (files.teller())
      files.teller()(std::string(name) + " not written: " + why);
    return nullptr;
  };
  if (mode == Mode::Output) {
    // A link is followed: the file it names is replaced, or made, and the link stays.
    std::string why;
    p = throughlinks(files, p, why);
    if (!why.empty()) return refuse(why);
  }
  // Opening a FIFO for writing would wait for a reader, and renaming over a device would put a
  // file in its place: neither is ever tried.
  if (const std::string what = notregular(p); !what.empty()) return refuse(what);
  int fd = -1;
  if (mode == Mode::Output) {
    fd = maketemp(p, temp);
  } else {
    // Without blocking, should a FIFO appear after the look above; close-on-exec, so that an
    // open trip log does not leak into the programs we start.
    fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    struct stat st {};
    if (fd >= 0 && ::fstat(fd, &st) == 0 && !S_ISREG(st.st_mode)) {
      ::close(fd);
      return refuse(kindof(st.st_mode) + ", not a regular file");
    }
    if (fd >= 0 && mode == Mode::Log && ::ftruncate(fd, 0) != 0) {
      const int e = errno;
      ::close(fd);
      errno = e;
      fd = -1;
    }
  }
  if (fd < 0) return refuse(reason(errno));
  return std::unique_ptr<OutputFile>(new OutputFile(files, fd, mode, std::string(name), p, temp));
}

namespace {

// All of the bytes, or false with the reason.
bool writeall(int fd, std::string_view s, std::string& why) {
  while (!s.empty()) {
    const ssize_t n = ::write(fd, s.data(), s.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      why = reason(errno);
      return false;
    }
    if (n == 0) {
      why = reason(ENOSPC);
      return false;
    }
    s.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Text held before it is passed on: enough to write in few calls, little enough to keep.
constexpr std::size_t holdlimit = std::size_t{64} << 10;

}  // namespace

OutputFile::~OutputFile() {
  if (fd_ < 0) return;
  if (mode_ != Mode::Output) commit(nullptr);
  if (!temp_.empty() && isnamed(fd_, temp_)) ::unlink(temp_.c_str());
  ::close(fd_);
}

bool OutputFile::fail(std::string why) {
  if (ok_) error_ = std::move(why);
  ok_ = false;
  return false;
}

bool OutputFile::failed(std::string* error) {
  if (error) {
    *error = error_;
  } else if (!told_ && files_.teller()) {
    files_.teller()(name_ + " not written: " + error_);
  }
  told_ = told_ || !error;
  return false;
}

bool OutputFile::pass() {
  std::string why;
  if (ok_ && !writeall(fd_, held_, why)) fail(why);
  held_.clear();
  return ok_;
}

bool OutputFile::commit(std::string* error) {
  if (held_.empty()) return true;
  // Where the record begins: on a failed write the file is cut back to it.
  const off_t start = ::lseek(fd_, 0, SEEK_END);
  std::string why;
  const bool whole = writeall(fd_, held_, why);
  held_.clear();
  if (whole) {
    ok_ = true;
    told_ = false;
    return true;
  }
  if (start >= 0 && ::ftruncate(fd_, start) != 0) why += " (and the record could not be taken back)";
  ok_ = true;  // a new reason for each failed record
  fail(why);
  return failed(error);
}

bool OutputFile::printpart(std::string_view s) {
  if (fd_ < 0) return fail("already closed");
  held_ += s;
  // A record that large is written as it grows; whole records are the ones between flushes.
  if (held_.size() >= holdlimit) return mode_ == Mode::Output ? pass() : commit(nullptr);
  return mode_ == Mode::Output ? ok_ : true;
}

bool OutputFile::print(std::string_view line) {
  if (fd_ < 0) return fail("already closed");
  held_ += line;
  return printpart("\r\n");
}

bool OutputFile::writefields(const std::vector<std::string>& items) {
  std::string line;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i) line += ',';
    line += items[i];
  }
  return print(line);
}

bool OutputFile::flush(std::string* error) {
  if (fd_ < 0) return fail("already closed");
  if (mode_ != Mode::Output) return commit(error);
  return pass();
}

bool OutputFile::close(std::string* error) {
  if (fd_ >= 0) {
    if (mode_ != Mode::Output) {
      const bool written = commit(error);
      ::close(fd_);
      fd_ = -1;
      return written;
    }
    // Every step is checked: a full disk may show only at the last write, the sync or the close.
    pass();
    if (ok_ && ::fsync(fd_) != 0) fail(reason(errno));
    // Renamed while still open and locked: until it has its final name, no clean-up takes it.
    // Where the file system could not lock it, one may have: then it is not renamed (nor is
    // whatever came in its place), and the old file stays.
    const bool mine = isnamed(fd_, temp_);
    if (ok_ && !mine) fail(reason(ENOENT));
    if (ok_ && ::rename(temp_.c_str(), path_.c_str()) != 0) fail(reason(errno));
    ::close(fd_);  // what it wrote reached the disk with the sync
    fd_ = -1;
    if (!ok_) {
      if (mine) ::unlink(temp_.c_str());
    } else if (const int dir = ::open(path_.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
      // The rename reaches the disk with its folder; the file is whole either way.
      ::fsync(dir);
      ::close(dir);
    }
    temp_.clear();
  }
  return ok_ || failed(error);
}

std::vector<std::string> splitlines(std::string_view text) {
  std::vector<std::string> out;
  std::string cur;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      out.push_back(std::move(cur));
      cur.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) out.push_back(std::move(cur));
  return out;
}

std::string writeitem(std::string_view t) {
  // A quote inside the text would end the field early when it is read back.
  std::string s(t);
  std::replace(s.begin(), s.end(), '"', '\'');
  return '"' + s + '"';
}

std::string writeitem(float v) { return text::ltrim(text::str(v)); }
std::string writeitem(double v) { return text::ltrim(text::strd(v)); }
std::string writeitem(long long v) { return text::ltrim(text::str(v)); }

bool readcfgline(InputFile& f, std::string& line) {
  if (f.eof()) {
    line.clear();
    return false;
  }
  line = text::rtrim(text::left(f.lineinput(), 20));
  return true;
}

std::size_t Files::clearleftovers(std::chrono::seconds age) const {
  std::error_code ec;
  const auto before = fs::file_time_type::clock::now() - age;
  std::size_t removed = 0;
  for (fs::directory_iterator it(workdir_, ec), last; !ec && it != last; it.increment(ec)) {
    const fs::path& p = it->path();
    if (!istempname(p.filename().string())) continue;
    // Only a regular file, never what a link points at, and never one a save still holds: its
    // lock is taken here or the file is left alone.
    const int fd = ::open(p.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat held {}, named {};
    std::error_code fe;
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::lstat(p.c_str(), &named) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino) {
      const auto t = fs::last_write_time(p, fe);
      if (!fe && t < before && ::unlink(p.c_str()) == 0) ++removed;
    }
    ::close(fd);
  }
  return removed;
}

}  // namespace zarn::platform
