#include "platform/program_folder.h"

#include <filesystem>
#include <system_error>

// Where an installed game's pictures lie, seen from the programs' folder
// (<datadir>/torvin from <bindir>, as the build installs them).
#ifndef TORVIN_DATA_FROM_BIN
#define TORVIN_DATA_FROM_BIN "../share/torvin"
#endif

namespace torvin {

namespace fs = std::filesystem;

std::string executableFolder() {
  std::error_code error;
  const fs::path exe = fs::read_symlink("/proc/self/exe", error);
  if (error) {
    return fs::current_path(error).string();
  }
  return exe.parent_path().string();
}

std::string picturesFolder() {
  const fs::path own = executableFolder();
  std::error_code error;
  if (fs::exists(own / "bg001.gif", error)) {
    return own.string();
  }
  const fs::path shared = own / TORVIN_DATA_FROM_BIN;
  if (fs::exists(shared / "bg001.gif", error)) {
    return shared.lexically_normal().string();
  }
  return own.string();
}

}  // namespace torvin
