// The table of hostile picture files, each standing in for one picture of the
// game: what the decoder must make of it. The unit tests plant each in a
// folder and decode it; the command test plants each in a copy of the game and
// runs both programs on it.
#pragma once

#include <string>
#include <vector>

#include "picture/decoding.h"
#include "support/picture_bytes.h"

namespace torvin::testing {

// How the file is made, besides plain bytes.
enum class Plant {
  File,          // a file with these bytes
  Folder,        // a folder by the picture's name
  Fifo,          // a named pipe, with nobody writing to it
  Device,        // a link to /dev/zero
  Dangling,      // a link to nothing
  LinkToGood,    // a link to a file with these bytes (which are good)
  NoPermission,  // a file with these bytes that may not be read
  Oversized,     // these bytes, then nothing (a sparse file) to a byte past 16 MB
};

struct Hostile {
  std::string name;  // what is wrong with it
  std::string file;  // the game picture it replaces, as "01/002.jpg"
  Plant plant = Plant::File;
  Bytes bytes;
  bool good = false;  // the one case the decoder must take
  picture::Reason reason = picture::Reason::Damaged;
  std::string text;  // what the player reads after the file's name, whole
};

std::vector<Hostile> hostilePictures();

// Makes `hostile` at `path`, replacing whatever is there.
void plant(const Hostile& hostile, const std::string& path);

}  // namespace torvin::testing
