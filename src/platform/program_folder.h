// Where the game finds its pictures: the folder of the running program, or the
// installed share folder beside it.
#pragma once

#include <string>

namespace torvin {

// The folder of the running executable, without a trailing separator.
std::string executableFolder();

// The folder that holds the game's pictures: the program's own folder when the
// pictures lie beside it, else <datadir>/torvin of an installed game
// (<prefix>/share/torvin by default).
std::string picturesFolder();

}  // namespace torvin
