#include "sim/frame_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "sim/output_error.h"

#ifdef TORVIN_SIM_PNG
#include <png.h>
#endif

namespace torvin::sim {

std::string FrameFolder::refusal(const std::string& folder) {
#ifndef TORVIN_SIM_PNG
  (void)folder;
  return "--frames is not in this build of torvin-sim: it was built without a PNG library";
#else
  struct stat status {};
  if (::stat(folder.c_str(), &status) != 0) {
    return "cannot write frames in '" + folder + "': " + std::strerror(errno);
  }
  if (!S_ISDIR(status.st_mode)) {
    return "cannot write frames in '" + folder + "': it is not a folder";
  }
  if (::access(folder.c_str(), W_OK | X_OK) != 0) {
    return "cannot write frames in '" + folder + "': " + std::strerror(errno);
  }
  return {};
#endif
}

FrameFolder::FrameFolder(std::string folder) : folder_(std::move(folder)) {}

std::string FrameFolder::nameFor(long long time) {
  if (time == lastTime_) {
    ++sameTime_;
  } else {
    lastTime_ = time;
    sameTime_ = 1;
  }
  char name[48];
  if (sameTime_ == 1) {
    std::snprintf(name, sizeof name, "%016lld.png", time);
  } else {
    std::snprintf(name, sizeof name, "%016lld_%d.png", time, sameTime_);
  }
  return folder_ + "/" + name;
}

void FrameFolder::write(long long time, const scene::Frame& frame) {
  const std::string path = nameFor(time);
#ifdef TORVIN_SIM_PNG
  // The frame's 0xFFRRGGBB words as the red, green and blue bytes of a PNG
  // without alpha: the scene is opaque everywhere.
  std::vector<png_byte> rgb(static_cast<std::size_t>(scene::kWidth) * scene::kHeight * 3);
  png_byte* out = rgb.data();
  for (int y = 0; y < scene::kHeight; ++y) {
    const std::uint32_t* row = frame.row(y);
    for (int x = 0; x < scene::kWidth; ++x) {
      *out++ = static_cast<png_byte>(row[x] >> 16);
      *out++ = static_cast<png_byte>(row[x] >> 8);
      *out++ = static_cast<png_byte>(row[x]);
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = scene::kWidth;
  image.height = scene::kHeight;
  image.format = PNG_FORMAT_RGB;

  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    throw OutputError("the frame " + path, errno);
  }
  const bool written = png_image_write_to_stdio(&image, file, 0, rgb.data(), 0, nullptr) != 0 &&
                       std::fflush(file) == 0 && std::ferror(file) == 0;
  int error = errno;
  const bool closed = std::fclose(file) == 0;
  if (written && closed) {
    return;
  }
  if (written) {
    error = errno;  // the last of the data could not be written out
  }
  std::remove(path.c_str());  // a cut picture is worse than none
  throw OutputError("the frame " + path, error);
#else
  (void)frame;
  throw OutputError("the frame " + path, 0);
#endif
}

}  // namespace torvin::sim
