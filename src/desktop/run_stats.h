// The game's own figures for `torvin --stats`: what one run cost and how
// steadily it ran, printed at exit as `name: value` lines.
#pragma once

#include <QElapsedTimer>
#include <cstdio>

namespace torvin::desktop {

class DesktopHost;

class RunStats {
 public:
  // Starts the clocks; the earlier, the more of the start-up is counted.
  RunStats();

  // Hooks the counters into the host and its window.
  void watch(DesktopHost& host);

  void print(const DesktopHost& host, std::FILE* out) const;

 private:
  QElapsedTimer wall_;
  double cpuAtCourseStart_ = -1.0;  // seconds of CPU when the course started
  qint64 firstFrameMs_ = -1;
  long long frames_ = 0;
};

}  // namespace torvin::desktop
