#include "platform/program_folder.h"

#include <filesystem>
#include <system_error>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>

// Built with emscripten, the program is a JavaScript file: under node, the
// folder of that file; in a page, the root of the page's own files.
EM_JS(void, scriptFolder, (char* folder, int size),
      { stringToUTF8(typeof __dirname == "string" ? __dirname : "/", folder, size); });
#endif

// Where an installed game's pictures lie, seen from the programs' folder
// (<datadir>/torvin from <bindir>, as the build installs them).
#ifndef TORVIN_DATA_FROM_BIN
#define TORVIN_DATA_FROM_BIN "../share/torvin"
#endif

namespace torvin {

namespace fs = std::filesystem;

std::string executableFolder() {
#ifdef __EMSCRIPTEN__
  char folder[4096];
  scriptFolder(folder, sizeof folder);
  return folder;
#else
  std::error_code error;
  const fs::path exe = fs::read_symlink("/proc/self/exe", error);
  if (error) {
    return fs::current_path(error).string();
  }
  return exe.parent_path().string();
#endif
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
