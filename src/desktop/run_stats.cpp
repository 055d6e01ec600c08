#include "desktop/run_stats.h"

#include <sys/resource.h>

#include "desktop/desktop_host.h"

namespace torvin::desktop {

namespace {

double seconds(const timeval& time) {
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

// Seconds of CPU the process has used so far, user and system together.
double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double peakMemoryMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

double percent(double part, double whole) {
  return whole > 0.0 ? 100.0 * part / whole : 0.0;
}

}  // namespace

RunStats::RunStats() {
  wall_.start();
}

void RunStats::watch(DesktopHost& host) {
  host.setCourseStartedHook([this] { cpuAtCourseStart_ = cpuSeconds(); });
  host.window().setPaintedHook([this] {
    if (frames_++ == 0) {
      firstFrameMs_ = wall_.elapsed();
    }
  });
}

void RunStats::print(const DesktopHost& host, std::FILE* out) const {
  const double wall = static_cast<double>(wall_.elapsed()) / 1000.0;
  const double cpu = cpuSeconds();
  const qint64 courseMs = host.courseMs();
  const double course = static_cast<double>(courseMs) / 1000.0;
  const long long courseTicks = host.ticks(2);
  const DesktopHost::Decodes decodes = host.decodes();

  std::fprintf(out, "wall_seconds: %.3f\n", wall);
  std::fprintf(out, "cpu_seconds: %.3f\n", cpu);
  std::fprintf(out, "cpu_percent_of_one_core: %.2f\n", percent(cpu, wall));
  if (courseMs >= 0 && cpuAtCourseStart_ >= 0.0) {
    std::fprintf(out, "cpu_percent_since_start: %.2f\n", percent(cpu - cpuAtCourseStart_, course));
  }
  std::fprintf(out, "peak_memory_mb: %.1f\n", peakMemoryMb());
  std::fprintf(out, "first_frame_ms: %lld\n", static_cast<long long>(firstFrameMs_));
  std::fprintf(out, "frames: %lld\n", frames_);
  std::fprintf(out, "seconds_since_start: %.3f\n", courseMs >= 0 ? course : 0.0);
  std::fprintf(out, "timer2_ticks: %lld\n", courseTicks);
  std::fprintf(out, "timer2_ticks_per_second: %.2f\n",
               course > 0.0 ? static_cast<double>(courseTicks) / course : 0.0);
  std::fprintf(out, "referee_ticks: %lld\n", host.ticks(4));
  std::fprintf(out, "keys: %lld\n", host.keysDelivered());
  std::fprintf(out, "runs_ended: %zu\n", host.form().Score.items().size());
  std::fprintf(out, "picture_files: %zu\n", decodes.files);
  std::fprintf(out, "picture_decodes_total: %lld\n", decodes.total);
  std::fprintf(out, "picture_decodes_per_file_max: %d\n", decodes.mostOfOneFile);
  std::fflush(out);
}

}  // namespace torvin::desktop
