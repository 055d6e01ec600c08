// The game's message boxes: captioned "Torvin", one OK button, modal.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QWidget>
#include <memory>
#include <string>

namespace torvin::desktop {

// The narrowest a game box may be: wide enough for a window manager to show its
// title ("Torvin") beside its own buttons, even for a short text ("Fail!").
inline constexpr int kMessageBoxMinimumWidth = 240;

// A game message box, ready to be shown: captioned "Torvin", the plain text,
// one plain OK button, no icon, modal to `parent` (when there is one), and at
// least kMessageBoxMinimumWidth wide.
std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const QString& text);

// An error that ends the game: said on standard error and in a message box. On a
// screen nobody can see (Qt's offscreen or minimal platform, as in unattended
// tests) the box is left out, since nobody could close it.
void reportError(QWidget* parent, const std::string& text);

}  // namespace torvin::desktop
