#include "desktop/run_stats.h"

#include <sys/resource.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "desktop/line_output.h"

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

// Appends one formatted line to `text`.
[[gnu::format(printf, 2, 3)]] void line(std::string& text, const char* format, ...) {
  char buffer[128];
  va_list values;
  va_start(values, format);
  std::vsnprintf(buffer, sizeof buffer, format, values);
  va_end(values);
  text += buffer;
  text += '\n';
}

}  // namespace

RunStats::RunStats() {
  wall_.start();
}

void RunStats::watch(DesktopHost& host) {
  host.watch(*this);
  host.window().setPaintedHook([this] {
    if (frames_++ == 0) {
      firstFrameMs_ = wall_.elapsed();
    }
  });
}

void RunStats::handled(int timer) {
  if (timer > 0) {
    ++ticks_.at(static_cast<std::size_t>(timer));
  }
}

void RunStats::performed(const script::Action& action) {
  keys_ += action.kind == script::ActionKind::Key ? 1 : 0;
}

void RunStats::intervalChanged(const Timer& timer) {
  if (timer.number() == 2 && timer.Interval() > 0 && !course_.isValid()) {
    course_.start();
    cpuAtCourseStart_ = cpuSeconds();
  }
}

void RunStats::pictureLoaded(const std::string& path, std::size_t decodes) {
  decodesByFile_[path] += decodes;
}

bool RunStats::print(const DesktopHost& host, LineOutput& out) const {
  const double wall = static_cast<double>(wall_.elapsed()) / 1000.0;
  const double cpu = cpuSeconds();
  const double course = course_.isValid() ? static_cast<double>(course_.elapsed()) / 1000.0 : 0.0;
  const long long courseTicks = ticks(2);
  std::size_t mostOfOneFile = 0;
  std::size_t decodes = 0;
  for (const auto& [path, count] : decodesByFile_) {
    mostOfOneFile = std::max(mostOfOneFile, count);
    decodes += count;
  }

  std::string text;
  line(text, "wall_seconds: %.3f", wall);
  line(text, "cpu_seconds: %.3f", cpu);
  line(text, "cpu_percent_of_one_core: %.2f", percent(cpu, wall));
  if (course_.isValid()) {
    line(text, "cpu_percent_since_start: %.2f", percent(cpu - cpuAtCourseStart_, course));
  }
  line(text, "peak_memory_mb: %.1f", peakMemoryMb());
  line(text, "first_frame_ms: %lld", static_cast<long long>(firstFrameMs_));
  line(text, "frames: %lld", frames_);
  line(text, "seconds_since_start: %.3f", course);
  line(text, "timer2_ticks: %lld", courseTicks);
  line(text, "timer2_ticks_per_second: %.2f",
       course > 0.0 ? static_cast<double>(courseTicks) / course : 0.0);
  line(text, "referee_ticks: %lld", ticks(4));
  line(text, "keys: %lld", keys_);
  line(text, "runs_ended: %zu", host.form().Score.items().size());
  line(text, "picture_files: %zu", decodesByFile_.size());
  line(text, "picture_decodes_total: %zu", decodes);
  line(text, "picture_decodes_per_file_max: %zu", mostOfOneFile);
  return out.write(text);
}

}  // namespace torvin::desktop
