// Kit loading at scale: LoadKitData, then SelectGroup and DeselectGroup of
// every group, on generated kits of 10,000, 100,000 and 1,000,000 lines in the
// in-memory file system.  Prints the time per size, the growth ratio, and the
// peak heap the run needed against the kit file's size.
//
// Numbers mean something only without the sanitizers:
//   cmake -S . -B build-kit-release -DCMAKE_BUILD_TYPE=Release -DSV_SANITIZE=OFF
//   cmake --build build-kit-release --target kit_bench -j2
//   build-kit-release/kit_bench
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>
#include <string>
#include <vector>

#include "app/switches.h"
#include "kit/kit.h"
#include "macros/macros.h"
#include "platform/memory/memory_platform.h"

// ---------------------------------------------------------------------------
// Heap accounting: every C++ allocation, by the size malloc really reserved.
namespace {
std::atomic<size_t> g_live{0};
std::atomic<size_t> g_peak{0};

void Note(void* p) {
  const size_t now = g_live += malloc_usable_size(p);
  size_t peak = g_peak.load();
  while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
  }
}
}  // namespace

void* operator new(size_t size) {
  void* p = std::malloc(size != 0 ? size : 1);
  if (p == nullptr) throw std::bad_alloc();
  Note(p);
  return p;
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept {
  if (p == nullptr) return;
  g_live -= malloc_usable_size(p);
  std::free(p);
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, size_t) noexcept { operator delete(p); }
void operator delete[](void* p, size_t) noexcept { operator delete(p); }

namespace {

constexpr int kGroups = 300;
constexpr int kDirectories = 200;
constexpr int kShortcuts = 1000;
constexpr int kShortcutKeys = 100;
constexpr int kTransports = 40;
constexpr int kNetComponents = 40;
constexpr int kTextEdits = 10;

// A kit in the shape the installer writes: 8.3 file names, directory texts
// with macros, a few hundred groups, COPY and DELETE records mixed.
std::string MakeKit(size_t lines) {
  std::string text;
  text.reserve(lines * 72);
  char line[300];
  text += "VERSION,0x1000048\r\n; generated kit\r\n";
  size_t written = 2;
  for (int i = 0; i < kShortcuts; ++i, ++written) {
    std::snprintf(line, sizeof line,
                  "SHORTCUT,SC_%03d_Installed,KEY%03d,SOLVANE 32,Tool %04d,,%d,,\r\n",
                  i % 37, i % kShortcutKeys, i, i & 1);
    text += line;
  }
  for (int i = 0; i < kTransports; ++i, ++written) {
    std::snprintf(line, sizeof line,
                  "TRANSPORT,TR%02d,%s,Transport %d,x,1,2,3,FALSE,5,6\r\n", i,
                  i % 10 == 0 ? "svprint.dll" : "svtrans.dll", i);
    text += line;
  }
  for (int i = 0; i < kNetComponents; ++i, ++written) {
    std::snprintf(line, sizeof line, "NETCPL,SVNET%02d,oemnsv%02d.inf,Trellnet part %d,NET%02d,0x%x\r\n",
                  i, i, i, i, i % 8);
    text += line;
  }
  for (int i = 0; i < kTextEdits; ++i, ++written) {
    std::snprintf(line, sizeof line, "TEXTEDIT,TE%d,{LDID_KITROOT}\\edit%d.txt,Files Ini,0\r\n", i, i);
    text += line;
  }
  for (size_t n = 0; written < lines; ++n, ++written) {
    const unsigned group = static_cast<unsigned>(n * 7 % kGroups);
    const unsigned dir = static_cast<unsigned>(n * 13 % kDirectories);
    if (n % 5 < 3) {
      std::snprintf(line, sizeof line,
                    "COPY,sv%06u.dll,sv%06u.dll,{LDID_KITROOT}\\i386\\d%03u,{LDID_SV}\\d%03u,"
                    "GRP_%03u,0x%x,%u\r\n",
                    static_cast<unsigned>(n % 1000000), static_cast<unsigned>(n % 1000000), dir,
                    dir, group, static_cast<unsigned>(n % 4), static_cast<unsigned>(n % 65536));
    } else {
      std::snprintf(line, sizeof line, "DELETE,ol%06u.ini,{LDID_SV}\\d%03u,GRP_%03u,0,0\r\n",
                    static_cast<unsigned>(n % 1000000), dir, group);
    }
    text += line;
  }
  return text;
}

struct Result {
  size_t lines = 0;
  size_t bytes = 0;
  double load = 0, select = 0, deselect = 0, destroy = 0;
  double cpu = 0;  // user + system time of load, select and deselect
  double sys = 0;  // the system part: mostly first touches of new heap pages
  size_t peak = 0;
  double Total() const { return load + select + deselect; }
};

// The machine is shared: wall time includes waiting for a core, CPU time
// does not.
double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}
double SystemSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_stime.tv_sec) + static_cast<double>(u.ru_stime.tv_usec) * 1e-6;
}

double Seconds(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

// One measured run in a fresh process, so that every size pays for its own
// first touch of heap pages instead of reusing what a previous run freed.
Result RunOnce(size_t lines) {
  svp::InstalledMemoryPlatform platform;
  platform.files().MakeDirectory("C:\\KIT");
  Result r;
  r.lines = lines;
  {
    std::string text = MakeKit(lines);
    r.bytes = text.size();
    platform.files().WriteFile("C:\\KIT\\KITPURGE.DAT", text);
  }
  CSvMacroList macros(svp::kHKeyLocalMachine, "Software\\Bench");
  CSvSwitchList switches;
  const size_t base = g_live.load();
  g_peak = base;
  using Clock = std::chrono::steady_clock;
  auto* kit = new CSvKit(nullptr, &macros, &switches);
  const double c0 = CpuSeconds();
  const double s0 = SystemSeconds();
  const auto t0 = Clock::now();
  if (kit->LoadKitData("C:\\KIT", "KITPURGE.DAT") != 0) {
    std::fprintf(stderr, "load failed\n");
    std::exit(1);
  }
  const auto t1 = Clock::now();
  std::vector<std::string> names;
  for (CSvGroup* g : kit->Groups()) names.push_back(g->GetName());
  const auto t2 = Clock::now();
  for (const std::string& name : names) kit->SelectGroup(name);
  const auto t3 = Clock::now();
  for (const std::string& name : names) kit->DeselectGroup(name);
  const auto t4 = Clock::now();
  r.cpu = CpuSeconds() - c0;
  r.sys = SystemSeconds() - s0;
  r.peak = g_peak.load() - base;
  if (!kit->SelectedFiles().empty()) {
    std::fprintf(stderr, "selection not undone\n");
    std::exit(1);
  }
  delete kit;
  const auto t5 = Clock::now();
  r.load = Seconds(t0, t1);
  r.select = Seconds(t2, t3);
  r.deselect = Seconds(t3, t4);
  r.destroy = Seconds(t4, t5);
  return r;
}

Result RunInChild(size_t lines) {
  int fds[2];
  if (pipe(fds) != 0) std::exit(1);
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    Result r = RunOnce(lines);
    const bool ok = write(fds[1], &r, sizeof r) == static_cast<ssize_t>(sizeof r);
    _exit(ok ? 0 : 1);
  }
  close(fds[1]);
  Result r;
  const bool ok = read(fds[0], &r, sizeof r) == static_cast<ssize_t>(sizeof r);
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (!ok || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "run of %zu lines failed\n", lines);
    std::exit(1);
  }
  return r;
}

}  // namespace

// kit_bench [repeats [lines...]]: best of repeats (default 3) for each size.
int main(int argc, char** argv) {
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  std::vector<size_t> sizes = {10000, 100000, 1000000};
  if (argc > 2) {
    sizes.clear();
    for (int i = 2; i < argc; ++i) sizes.push_back(std::strtoul(argv[i], nullptr, 10));
  }
  std::printf("%9s %11s %8s %8s %8s %8s %8s %8s %9s %11s %9s\n", "lines", "file bytes", "load s",
              "select s", "desel s", "total s", "cpu s", "sys s", "destroy s", "peak heap",
              "peak/file");
  std::vector<Result> best;
  for (size_t lines : sizes) {
    Result b;
    for (int i = 0; i < repeats; ++i) {
      Result r = RunInChild(lines);
      if (i == 0 || r.Total() < b.Total()) b = r;
    }
    std::printf("%9zu %11zu %8.4f %8.4f %8.4f %8.4f %8.4f %8.4f %9.4f %11zu %8.2fx\n", b.lines,
                b.bytes, b.load, b.select, b.deselect, b.Total(), b.cpu, b.sys, b.destroy, b.peak,
                static_cast<double>(b.peak) / static_cast<double>(b.bytes));
    std::fflush(stdout);
    best.push_back(b);
  }
  for (size_t i = 1; i < best.size(); ++i) {
    std::printf("ratio %zu -> %zu lines: wall %.2fx, cpu %.2fx\n", best[i - 1].lines,
                best[i].lines, best[i].Total() / best[i - 1].Total(),
                best[i].cpu / best[i - 1].cpu);
  }
  std::printf("best of %d runs per size (by wall time); total = load + select + deselect; peak "
              "heap = most bytes allocated at once during them\n",
              repeats);
  return 0;
}
