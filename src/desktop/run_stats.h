// The game's own figures for `torvin --stats`: what one run cost and how
// steadily it ran, counted as the game goes and printed at exit as
// `name: value` lines.
#pragma once

#include <QElapsedTimer>
#include <array>
#include <map>
#include <string>

#include "desktop/desktop_host.h"

namespace torvin::desktop {

class LineOutput;

class RunStats final : public DesktopHost::Watcher {
 public:
  // Starts the clocks; the earlier, the more of the start-up is counted.
  RunStats();

  // Counts what the host and its window do from now on.
  void watch(DesktopHost& host);

  // How many ticks of Timer`number` the game's handler has run.
  long long ticks(int number) const { return ticks_.at(static_cast<std::size_t>(number)); }
  // How many keys reached the game (or a message box of it).
  long long keys() const { return keys_; }

  // Writes the figures; returns whether they could be written.
  bool print(const DesktopHost& host, LineOutput& out) const;

  // DesktopHost::Watcher
  void handled(int timer) override;
  void performed(const script::Action& action) override;
  void intervalChanged(const Timer& timer) override;
  void pictureLoaded(const std::string& path, std::size_t decodes) override;

 private:
  QElapsedTimer wall_;
  QElapsedTimer course_;            // since the course first started (Timer2 armed)
  double cpuAtCourseStart_ = -1.0;  // seconds of CPU when the course started
  qint64 firstFrameMs_ = -1;
  long long frames_ = 0;
  std::array<long long, 9> ticks_{};
  long long keys_ = 0;
  // Counted here, outside the picture store, so that a store that decoded a
  // file twice would show it.
  std::map<std::string, std::size_t> decodesByFile_;
};

}  // namespace torvin::desktop
