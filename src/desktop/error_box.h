// The box that tells the player why the game cannot go on. However many
// pictures are bad, it fits on the screen: a short summary, with every line
// under "Show Details...".
#pragma once

#include <QMessageBox>
#include <memory>
#include <string>

namespace torvin::desktop {

// A box captioned "Torvin" with one OK button for `text`: its first line is the
// heading, each further line one problem (as a picture error names its files).
std::unique_ptr<QMessageBox> makeErrorBox(QWidget* parent, const std::string& text);

}  // namespace torvin::desktop
