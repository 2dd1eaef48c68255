// Times the conversion of a synthetic export against a plain copy of it and against the job's
// limit, and compares peak memory and the page cache the runs fill.
// Usage: convert_bench [--lines N] [--small N] [--repeat R] [--dir PATH] [--keep]
//        convert_bench --export-only --dir PATH [--lines N] [--shuffled]
//        convert_bench --once --dir PATH [--lines N]

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "conversion.h"
#include "quiet_host.h"
#include "synthetic_export.h"
#ifdef S2M_BENCH_WINDOW
#include "window_run.h"
#endif

namespace {

// Seconds this process spent in fsync; each run has a process of its own.
double flushSeconds = 0;

}  // namespace

// Takes the place of the C library's fsync for the whole program, the core's
// calls included, and adds up the time it takes.
extern "C" int fsync(int fd) {
  const auto begin = std::chrono::steady_clock::now();
  const auto result = static_cast<int>(::syscall(SYS_fsync, fd));
  flushSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  return result;
}

namespace {

constexpr const char* kLargeName = "LOG.CSV";
constexpr const char* kSmallName = "SMALL.CSV";
constexpr const char* kShuffledName = "SHUFFLED.CSV";  // the large export, its columns shuffled
// The large and the small export with a placeholder on every record, all listed in the notes.
constexpr const char* kNoticedName = "NOTICED.CSV";
constexpr const char* kSmallNoticedName = "SMALL-NOTICED.CSV";
constexpr const char* kNotesName = "marigold-notes.txt";
constexpr const char* kCopyName = "copy.out";
constexpr const char* kLimitName = "limit.out";
constexpr const char* kLimitPartialName = "limit.out.partial";
constexpr const char* kOutputName = "marigold.txt";
constexpr const char* kLimitLargeName = "limit-large.bytes";  // the limit's bytes, for LOG.CSV
constexpr const char* kLimitSmallName = "limit-small.bytes";  // the limit's bytes, for SMALL.CSV
constexpr std::size_t kCopyBlock = 1024 * 1024;  // the block size the conversion reads and writes

struct Options {
  std::uint64_t lines = 1000000;
  std::uint64_t smallLines = 1000;
  int repeat = 5;
  std::string dir;
  bool keep = false;
  bool exportOnly = false;  // write the export into dir and stop
  bool once = false;        // convert dir's export once in this process, for callgrind to count
  bool shuffled = false;    // the export's columns in another order, named by its header line
  bench::Notices notices = bench::Notices::kAsUsual;  // what the export's records give to note
};

// Holds what one run in a child process sends back.
struct Sample {
  double seconds = 0;
  double flushSeconds = 0;  // of seconds, in fsync
  long peakKiB = 0;
  long repaints = 0;  // counter display drawings, for runs from the window
  bool ok = false;
  std::array<char, 480> problem{};  // why ok is false
};

// Returns a failed sample that carries problem.
Sample Failed(std::string_view problem) {
  Sample sample;
  const std::size_t n = std::min(problem.size(), sample.problem.size() - 1);
  std::memcpy(sample.problem.data(), problem.data(), n);
  return sample;
}

using bench::QuietHost;

double Since(std::chrono::steady_clock::time_point begin) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
}

// Returns why message is not the completion message for that many records, or nothing.
std::string CheckCompletion(const std::string& message, std::uint64_t records) {
  const std::string expected =
      "FINISH MARIGOLD.TXT with " + std::to_string(records) + " DATA in FILE";
  if (message.starts_with(expected) &&
      (message.size() == expected.size() || message[expected.size()] == '\n')) {
    return {};
  }
  return "unexpected closing message: " + message;
}

// Replaces to with a copy of from, read and written in blocks of the conversion's size;
// flushes it to the device before closing it when flush is set, as the conversion does.
Sample Copy(const std::string& from, const std::string& to, bool flush) {
  const auto begin = std::chrono::steady_clock::now();
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  ::unlink(to.c_str());
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (in < 0 || out < 0) return Failed("cannot open the files to copy");
  std::vector<char> buffer(kCopyBlock);
  for (;;) {
    const ssize_t n = ::read(in, buffer.data(), buffer.size());
    if (n == 0) break;
    if (n < 0) return Failed("cannot read the export");
    for (ssize_t done = 0; done < n;) {
      const ssize_t w = ::write(out, buffer.data() + done, static_cast<std::size_t>(n - done));
      if (w < 0) return Failed("cannot write the copy");
      done += w;
    }
  }
  ::close(in);
  if (flush && ::fsync(out) != 0) return Failed("cannot flush the copy");
  if (::close(out) != 0) return Failed("cannot close the copy");
  Sample sample;
  sample.seconds = Since(begin);
  sample.ok = true;
  return sample;
}

// Writes the bytes of dir/source to a temporary name in blocks of the
// conversion's size, flushes them, renames the file to its name and flushes
// the folder: what a conversion that computed nothing would take to leave the
// same output on the device. Maps the bytes from the cache first, untimed; a
// copy in memory of its own would take the pages the output's cache needs.
Sample Limit(const std::filesystem::path& dir, const std::string& source) {
  const int in = ::open((dir / source).c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info {};
  if (in < 0 || ::fstat(in, &info) != 0 || info.st_size == 0) {
    return Failed("cannot open the limit's bytes");
  }
  const auto size = static_cast<std::size_t>(info.st_size);
  void* const mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, in, 0);
  ::close(in);
  if (mapped == MAP_FAILED) return Failed("cannot map the limit's bytes");
  const std::string_view bytes(static_cast<const char*>(mapped), size);
  const auto begin = std::chrono::steady_clock::now();
  const std::string partial = (dir / kLimitPartialName).string();
  const int out = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (out < 0) return Failed("cannot create the limit's file");
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t block = std::min(kCopyBlock, bytes.size() - at);
    const ssize_t w = ::write(out, bytes.data() + at, block);
    if (w < 0) return Failed("cannot write the limit's file");
    at += static_cast<std::size_t>(w);
  }
  ::munmap(mapped, size);
  if (::fsync(out) != 0) return Failed("cannot flush the limit's file");
  if (::close(out) != 0) return Failed("cannot close the limit's file");
  if (::rename(partial.c_str(), (dir / kLimitName).c_str()) != 0) {
    return Failed("cannot rename the limit's file");
  }
  const int folder = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0 || ::fsync(folder) != 0) return Failed("cannot flush the folder");
  ::close(folder);
  Sample sample;
  sample.seconds = Since(begin);
  sample.ok = true;
  return sample;
}

// Converts dir/name through the core with a host that draws nothing.
Sample ConvertCore(const std::filesystem::path& dir, const std::string& name, std::uint64_t lines) {
  conversion::FormState form;
  form.NomeFile = name;
  form.NomeUtente = "NAME";
  QuietHost host;
  const auto begin = std::chrono::steady_clock::now();
  conversion::ConvertFile(form, dir, host);
  Sample sample;
  sample.seconds = Since(begin);
  if (const std::string problem = CheckCompletion(host.message, lines); !problem.empty()) {
    return Failed(problem);
  }
  sample.ok = true;
  return sample;
}

#ifdef S2M_BENCH_WINDOW
// Converts dir/name from the window with its real counter display.
Sample ConvertWindow(const std::filesystem::path& dir, const std::string& name, std::uint64_t lines,
                     char* program) {
  std::array<char*, 2> argv{program, nullptr};
  const bench::WindowRun run = bench::ConvertThroughWindow(dir, name, 1, argv.data());
  if (const std::string problem = CheckCompletion(run.message, lines); !problem.empty()) {
    return Failed(problem);
  }
  if (run.counter != std::to_string(lines)) return Failed("the counter shows " + run.counter);
  Sample sample;
  sample.seconds = run.seconds;
  sample.repaints = run.repaints;
  sample.ok = true;
  return sample;
}
#endif

// Reads the figures Cached and Dirty of /proc/meminfo, in KiB; leaves one that is not there.
void ReadMeminfo(long& cached, long& dirty) {
  std::FILE* const file = std::fopen("/proc/meminfo", "r");
  if (file == nullptr) return;
  std::array<char, 256> line{};
  while (std::fgets(line.data(), static_cast<int>(line.size()), file) != nullptr) {
    long value = 0;
    if (std::sscanf(line.data(), "Cached: %ld", &value) == 1) cached = value;
    if (std::sscanf(line.data(), "Dirty: %ld", &value) == 1) dirty = value;
  }
  std::fclose(file);
}

// Samples the system's page cache while it lives: the peak of Dirty, and the
// peak of Cached above its figure at the start. Both count the whole machine.
class CacheSampler {
 public:
  CacheSampler() : thread_([this] { Sample(); }) {}
  CacheSampler(const CacheSampler&) = delete;
  CacheSampler& operator=(const CacheSampler&) = delete;
  ~CacheSampler() { Stop(); }

  // Ends the sampling after one last sample.
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  long peakDirtyKiB() const { return peakDirty_; }
  long cachedGrowthKiB() const { return peakCached_ - startCached_; }

 private:
  void Sample() {
    bool first = true;
    for (;;) {
      const bool last = stop_;
      long cached = 0;
      long dirty = 0;
      ReadMeminfo(cached, dirty);
      if (first) startCached_ = peakCached_ = cached;
      first = false;
      peakCached_ = std::max(peakCached_, cached);
      peakDirty_ = std::max(peakDirty_, dirty);
      if (last) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }

  std::atomic<bool> stop_{false};
  long startCached_ = 0;
  long peakCached_ = 0;
  long peakDirty_ = 0;
  std::thread thread_;  // last, so that it starts once the figures are set
};

// Runs measure in a child process, so that its memory peak is its own; samples
// the page cache into cache meanwhile, when one is given.
Sample InChild(const std::function<Sample()>& measure, std::optional<CacheSampler>* cache) {
  std::array<int, 2> channel{};
  if (::pipe(channel.data()) != 0) return Failed("cannot create a pipe");
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child < 0) return Failed("cannot start a child process");
  if (child == 0) {
    ::close(channel[0]);
    flushSeconds = 0;
    Sample sample = measure();
    sample.flushSeconds = flushSeconds;
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    sample.peakKiB = usage.ru_maxrss;
    const bool sent = ::write(channel[1], &sample, sizeof sample) == sizeof sample;
    ::_exit(sent ? 0 : 1);
  }
  ::close(channel[1]);
  // Starts after the fork, so that the child has no thread but its own.
  if (cache != nullptr) cache->emplace();
  Sample sample;
  std::size_t got = 0;
  while (got < sizeof sample) {
    const ssize_t n =
        ::read(channel[0], reinterpret_cast<char*>(&sample) + got, sizeof sample - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (cache != nullptr) (*cache)->Stop();
  if (got != sizeof sample || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return Failed("the child process died");
  }
  return sample;
}

// Collects the samples of one kind of run.
struct Series {
  Series(std::string name, std::function<Sample()> onLarge, std::function<Sample()> onSmall)
      : label(std::move(name)), large(std::move(onLarge)), small(std::move(onSmall)) {}

  std::string label;
  std::function<Sample()> large;  // a run on the large export
  std::function<Sample()> small;  // a run on the small export
  std::vector<double> seconds;
  long repaints = 0;     // in the fastest run on the large export
  double bestFlush = 0;  // seconds in fsync in the fastest run on the large export
  long largePeakKiB = 0;
  long smallPeakKiB = 0;
  bool memory = true;             // its peak memory is worth showing
  std::vector<double> dirtyMiB;   // the page cache's peak Dirty in each run on the large export
  std::vector<double> cachedMiB;  // the page cache's peak growth in each run on the large export

  double Best() const { return *std::min_element(seconds.begin(), seconds.end()); }
  double Median() const { return MedianOf(seconds); }

  static double MedianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
  }
};

double MiB(long kib) { return static_cast<double>(kib) / 1024.0; }

// Removes the outputs of the runs before and moves every file's bytes onto the
// device, so that each run starts from a device at rest and writes a new file.
void PrepareRun(const std::filesystem::path& dir) {
  for (const char* name : {kOutputName, kNotesName, kCopyName, kLimitName}) {
    ::unlink((dir / name).c_str());
  }
  ::sync();
}

bool Record(Series& series, const Sample& sample, bool large) {
  if (!sample.ok) {
    std::fprintf(stderr, "%s: %s\n", series.label.c_str(), sample.problem.data());
    return false;
  }
  if (large) {
    if (series.seconds.empty() || sample.seconds < series.Best()) {
      series.repaints = sample.repaints;
      series.bestFlush = sample.flushSeconds;
    }
    series.seconds.push_back(sample.seconds);
    series.largePeakKiB = std::max(series.largePeakKiB, sample.peakKiB);
  } else {
    series.smallPeakKiB = std::max(series.smallPeakKiB, sample.peakKiB);
  }
  return true;
}

// Runs one measurement of series in a child process, on the large export or the small one.
bool Run(Series& series, bool large, const std::filesystem::path& dir) {
  PrepareRun(dir);
  std::optional<CacheSampler> cache;
  const Sample sample = InChild(large ? series.large : series.small, large ? &cache : nullptr);
  if (large && sample.ok) {
    series.dirtyMiB.push_back(MiB(cache->peakDirtyKiB()));
    series.cachedMiB.push_back(MiB(cache->cachedGrowthKiB()));
  }
  return Record(series, sample, large);
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--lines" && hasValue) {
      options.lines = std::stoull(argv[++i]);
    } else if (arg == "--small" && hasValue) {
      options.smallLines = std::stoull(argv[++i]);
    } else if (arg == "--repeat" && hasValue) {
      options.repeat = std::max(1, std::stoi(argv[++i]));
    } else if (arg == "--dir" && hasValue) {
      options.dir = argv[++i];
    } else if (arg == "--shuffled") {
      options.shuffled = true;
    } else if (arg == "--nothing-noted") {
      options.notices = bench::Notices::kNone;
    } else if (arg == "--all-noticed") {
      options.notices = bench::Notices::kEveryRecord;
    } else if (arg == "--keep") {
      options.keep = true;
    } else if (arg == "--export-only") {
      options.exportOnly = true;
    } else if (arg == "--once") {
      options.once = true;
    } else {
      std::fprintf(stderr,
                   "Usage: %s [--lines N] [--small N] [--repeat R] [--dir PATH] [--keep]\n"
                   "       %s --export-only --dir PATH [--lines N]\n"
                   "       %s --once --dir PATH [--lines N]\n"
                   "  --lines   lines of the large export (default 1000000)\n"
                   "  --small   lines of the small export the peak memory is compared with "
                   "(default 1000)\n"
                   "  --repeat  runs of each measurement; the best counts (default 5)\n"
                   "  --dir     folder for the exports and outputs (default: a new one in the "
                   "temporary folder, removed afterwards)\n"
                   "  --keep    leave the files in place\n"
                   "  --shuffled  with --export-only: the export's columns in another order\n"
                   "  --nothing-noted  with --export-only: bands of the table only, no bar\n"
                   "  --all-noticed    with --export-only: a placeholder date on every record\n"
                   "  --export-only  write the large export into --dir and stop\n"
                   "  --once    convert the export in --dir once through the core, in this\n"
                   "            process and untimed, for valgrind to count its instructions\n",
                   argv[0], argv[0], argv[0]);
      return false;
    }
  }
  if ((options.exportOnly || options.once) && options.dir.empty()) return false;
  return options.lines > 0 && options.smallLines > 0 && !(options.exportOnly && options.once);
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) return 2;
  if (options.exportOnly) {
    std::filesystem::create_directories(options.dir);
    if (bench::WriteSyntheticExport((std::filesystem::path(options.dir) / kLargeName).string(),
                                    options.lines, options.shuffled, options.notices)) {
      return 0;
    }
    std::fprintf(stderr, "Cannot write the export into %s\n", options.dir.c_str());
    return 1;
  }
  if (options.once) {
    const Sample sample = ConvertCore(options.dir, kLargeName, options.lines);
    if (sample.ok) return 0;
    std::fprintf(stderr, "conversion, core: %s\n", sample.problem.data());
    return 1;
  }
  const bool ownDir = options.dir.empty();
  if (ownDir) {
    std::string pattern = (std::filesystem::temp_directory_path() / "s2m-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("mkdtemp");
      return 1;
    }
    options.dir = pattern;
  }
  const std::filesystem::path dir = options.dir;
  std::filesystem::create_directories(dir);
  const std::string large = (dir / kLargeName).string();
  const std::string small = (dir / kSmallName).string();

  const auto begin = std::chrono::steady_clock::now();
  const std::string shuffled = (dir / kShuffledName).string();
  if (!bench::WriteSyntheticExport(large, options.lines) ||
      !bench::WriteSyntheticExport(small, options.smallLines) ||
      !bench::WriteSyntheticExport(shuffled, options.lines, true) ||
      !bench::WriteSyntheticExport((dir / kNoticedName).string(), options.lines, false,
                                   bench::Notices::kEveryRecord) ||
      !bench::WriteSyntheticExport((dir / kSmallNoticedName).string(), options.smallLines, false,
                                   bench::Notices::kEveryRecord)) {
    std::fprintf(stderr, "Cannot write the exports into %s\n", options.dir.c_str());
    return 1;
  }
  const double megabytes = static_cast<double>(std::filesystem::file_size(large)) / 1e6;
  std::printf("Export: %llu lines, %.1f MB, written in %.2f s to %s\n",
              static_cast<unsigned long long>(options.lines), megabytes, Since(begin),
              options.dir.c_str());

  // The job's limit writes what the conversion writes; one untimed conversion makes it.
  const auto makeLimitBytes = [&](const char* name, std::uint64_t lines, const char* source) {
    const Sample made = InChild([&] { return ConvertCore(dir, name, lines); }, nullptr);
    std::error_code error;
    std::filesystem::rename(dir / kOutputName, dir / source, error);
    if (made.ok && !error) return true;
    std::fprintf(stderr, "Cannot convert %s: %s\n", name,
                 made.ok ? error.message().c_str() : made.problem.data());
    return false;
  };
  if (!makeLimitBytes(kLargeName, options.lines, kLimitLargeName) ||
      !makeLimitBytes(kSmallName, options.smallLines, kLimitSmallName)) {
    return 1;
  }

  std::vector<Series> series;
  series.emplace_back(
      "plain copy", [&] { return Copy(large, (dir / kCopyName).string(), true); },
      [&] { return Copy(small, (dir / kCopyName).string(), true); });
  series.emplace_back(
      "copy without fsync", [&] { return Copy(large, (dir / kCopyName).string(), false); },
      [&] { return Copy(small, (dir / kCopyName).string(), false); });
  series.emplace_back(
      "job's limit", [&] { return Limit(dir, kLimitLargeName); },
      [&] { return Limit(dir, kLimitSmallName); });
  series.back().memory = false;  // holds the whole output in memory
  series.emplace_back(
      "conversion, core", [&] { return ConvertCore(dir, kLargeName, options.lines); },
      [&] { return ConvertCore(dir, kSmallName, options.smallLines); });
  series.emplace_back(
      "core, shuffled", [&] { return ConvertCore(dir, kShuffledName, options.lines); },
      [&] { return ConvertCore(dir, kSmallName, options.smallLines); });
  // Every record noted: marigold-notes.txt streams a line a record beside marigold.txt.
  series.emplace_back(
      "core, all noticed", [&] { return ConvertCore(dir, kNoticedName, options.lines); },
      [&] { return ConvertCore(dir, kSmallNoticedName, options.smallLines); });
#ifdef S2M_BENCH_WINDOW
  series.emplace_back(
      "conversion, window", [&] { return ConvertWindow(dir, kLargeName, options.lines, argv[0]); },
      [&] { return ConvertWindow(dir, kSmallName, options.smallLines, argv[0]); });
#endif

  // The runs take turns, so that a disturbance on the machine hits all of them alike.
  bool ok = true;
  for (int round = 0; round < options.repeat && ok; ++round) {
    for (Series& s : series) ok = ok && Run(s, true, dir);
    for (Series& s : series) ok = ok && Run(s, false, dir);
  }
  if (!ownDir || options.keep) {
    std::printf("Files kept in %s\n", options.dir.c_str());
  } else {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  if (!ok) return 1;

  const Series& copy = series.front();
  const auto lines = static_cast<double>(options.lines);
  std::printf(
      "\nTime, best of %d runs on the same warm file, each begun with every file on the device\n"
      "(median in brackets); the job's limit writes the conversion's output to a temporary\n"
      "name, flushes it, renames it and flushes the folder:\n",
      options.repeat);
  std::printf("  %-20s %16s %13s %10s %9s\n", "", "seconds", "lines/s", "MB/s", "x copy");
  for (const Series& s : series) {
    std::printf("  %-20s %7.3f (%6.3f) %11.2f M %10.0f %9.2f\n", s.label.c_str(), s.Best(),
                s.Median(), lines / s.Best() / 1e6, megabytes / s.Best(), s.Best() / copy.Best());
  }
  std::printf("  Of that, in fsync (the flush to the device), in the fastest run:\n");
  for (const Series& s : series) {
    if (s.bestFlush > 0) {
      std::printf("  %-20s %7.3f, %.3f without it\n", s.label.c_str(), s.bestFlush,
                  s.Best() - s.bestFlush);
    }
  }
#ifdef S2M_BENCH_WINDOW
  const Series& window = series.back();
  std::printf(
      "  The window drew its counter %ld times in its fastest run: one per %.1f ms.\n",
      window.repaints,
      window.repaints > 0 ? window.Best() * 1000 / static_cast<double>(window.repaints) : 0.0);
#endif
  std::printf(
      "\nPage cache in the runs on the large export, MiB, the median of the runs' peaks\n"
      "(/proc/meminfo every 2 ms, the whole machine's):\n");
  std::printf("  %-20s %8s %15s\n", "", "Dirty", "Cached growth");
  for (const Series& s : series) {
    std::printf("  %-20s %8.0f %15.0f\n", s.label.c_str(), Series::MedianOf(s.dirtyMiB),
                Series::MedianOf(s.cachedMiB));
  }
  std::printf("\nPeak resident memory (ru_maxrss), MiB:\n");
  std::printf("  %-20s %12s %16s %9s\n", "",
              (std::to_string(options.smallLines) + " lines").c_str(),
              (std::to_string(options.lines) + " lines").c_str(), "growth");
  for (const Series& s : series) {
    if (!s.memory) continue;
    std::printf("  %-20s %12.1f %16.1f %+9.1f\n", s.label.c_str(), MiB(s.smallPeakKiB),
                MiB(s.largePeakKiB), MiB(s.largePeakKiB - s.smallPeakKiB));
  }

  std::printf("\nGoals:\n");
  auto goal = [](const char* what, double value, double limit, const char* unit) {
    std::printf("  %-40s %7.2f%s (limit %.1f%s) %s\n", what, value, unit, limit, unit,
                value <= limit ? "met" : "MISSED");
  };
  constexpr std::size_t kLimit = 2;  // series before it are copies
  constexpr std::size_t kCore = 3;   // series before it write without converting
  goal("core conversion time / copy time", series[kCore].Best() / copy.Best(), 2.5, " x");
#ifdef S2M_BENCH_WINDOW
  goal("window conversion time / copy time", series[kCore + 1].Best() / copy.Best(), 3.0, " x");
  goal("window time / the job's limit", series[kCore + 1].Best() / series[kLimit].Best(), 1.1,
       " x");
#else
  std::printf("  window conversion: not measured (built without the window)\n");
#endif
  for (std::size_t i = kCore; i < series.size(); ++i) {
    goal((series[i].label + ": memory growth").c_str(),
         MiB(series[i].largePeakKiB - series[i].smallPeakKiB), 1.0, " MiB");
  }
  return 0;
}
