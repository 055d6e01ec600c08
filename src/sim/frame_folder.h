// torvin-sim --frames DIR: the scene at every dump line written as a PNG
// picture in a folder, named by its game time so that the files sort in the
// order they were shown.
#pragma once

#include <string>

#include "scene/frame.h"

namespace torvin::sim {

class FrameFolder {
 public:
  // Why `folder` cannot take the frames (missing, not a folder, not
  // writable, or a torvin-sim built without a PNG library), or an empty
  // string when it can. Asked once, before the run starts.
  static std::string refusal(const std::string& folder);

  explicit FrameFolder(std::string folder);

  // The file of the frame shown at `time`: its time in 16 digits (the largest
  // script time has 16), "0000000000007200.png"; a later frame at the same
  // time gets "_2", "_3" and so on, so that none overwrites another.
  std::string nameFor(long long time);

  // Writes `frame` as a 531 x 343 RGB PNG at nameFor(time). A write that
  // fails (a full disk, a file that cannot be made) removes what was begun
  // and throws OutputError naming the file.
  void write(long long time, const scene::Frame& frame);

 private:
  std::string folder_;
  long long lastTime_ = -1;
  int sameTime_ = 0;  // frames already written at lastTime_
};

}  // namespace torvin::sim
