// What the web host asks of its page: the page's JavaScript (page/page.js)
// keeps the clock, queues the player's input with the millisecond it arrived
// and shows what the host hands it. The host calls the page; the page never
// calls into the game while the game waits, it only queues input and wakes
// the wait.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace torvin::web::page {

// The kinds of input the page queues, with what each carries.
enum class InputKind : int {
  Key = 1,           // a key of the game: its key code
  Click = 2,         // a click on Command1 (1) or Command2 (2)
  Close = 3,         // OK on the innermost message box
  Dump = 4,          // window.torvin.dump(): the snapshot, answered with dumped()
  Watch = 5,         // "Watch a run": the script's bytes and name, from inputText()
  NewGame = 6,       // a new game, after or instead of a watched run
  Repaint = 7,       // the scene's place or size changed: paint all of it again
  StopWatching = 8,  // Escape while a run is watched
};

struct Input {
  InputKind kind = InputKind::Key;
  long long time = 0;
  int value = 0;  // the key code, or the button
};

// The game's clock: whole ms since the page started this game, standing still
// while the game is paused.
long long now();
// When the next queued input arrived, if one is queued.
std::optional<long long> nextInputTime();
// Takes the next queued input off the queue.
Input takeInput();
// The bytes and the name that came with the input just taken (a Watch).
std::string inputText();
std::string inputName();
// Returns once `until` has come (never without one) or input has arrived.
void wait(std::optional<long long> until);
// Returns once the clock has reached `until`; input waits meanwhile.
void sleepUntil(long long until);

// A new game has been loaded: the page forgets the one before; `watching`
// tells whether a script plays it.
void gameStarted(bool watching);
// The game is over at `clock` on its clock: a watched run reached its end (or
// Escape ended it).
void watchEnded(long long clock);
// The game's pictures cannot be read: the same sentences as the window's.
void pictureError(const std::string& text);
// A script to watch was refused, with the reader's sentence.
void scriptRefused(const std::string& text);

// The scene's size on the page, in the device's pixels.
int deviceWidth();
int deviceHeight();
// Paints `width` x `height` pixels (red, green, blue, alpha bytes, row after
// row) at (left, top) of the canvas.
void paint(int left, int top, int width, int height, const std::uint8_t* rgba);

// What the page writes over the scene, in the scene's coordinates.
void label(int index, bool visible, float left, float top, float width, float height,
           const std::string& caption);
void button(int index, const std::string& caption, bool enabled);
void scoreItem(const std::string& item);
void title(const std::string& caption);
void points(int run, int total);

// Message boxes: one opens over the others; the innermost closes.
void boxOpened(const std::string& text);
void boxClosed();

// A line of the game's recording, with its line feed.
void recorded(const std::string& line);
// The answer to a Dump.
void dumped(const std::string& line);
// A tick of Timer`timer` was run `late` ms after it was due (for the figures).
void ticked(int timer, long long late);

}  // namespace torvin::web::page
