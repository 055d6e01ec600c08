#include "web/page_bridge.h"

#include <emscripten.h>

// Each function hands over to the page's object `torvinPage` (page/page.js).
// Times cross as doubles: every time of the game is a whole number below 2^53.

// clang-format off
EM_JS(double, torvin_page_now, (), { return torvinPage.now(); });
EM_JS(double, torvin_page_next_input_time, (), { return torvinPage.nextInputTime(); });
EM_JS(int, torvin_page_take_input, (double* time, int* value), {
  const input = torvinPage.takeInput();
  HEAPF64[time >> 3] = input.time;
  HEAP32[value >> 2] = input.value || 0;
  return input.kind;
});
EM_JS(int, torvin_page_input_bytes, (), { return torvinPage.inputBytes().length; });
EM_JS(void, torvin_page_copy_input_bytes, (std::uint8_t* to), {
  HEAPU8.set(torvinPage.inputBytes(), to);
});
EM_JS(int, torvin_page_input_name_bytes, (), {
  return lengthBytesUTF8(torvinPage.inputName()) + 1;
});
EM_JS(void, torvin_page_copy_input_name, (char* to, int size), {
  stringToUTF8(torvinPage.inputName(), to, size);
});
EM_ASYNC_JS(void, torvin_page_wait, (double until), { await torvinPage.wait(until); });
EM_ASYNC_JS(void, torvin_page_sleep_until, (double until), { await torvinPage.sleepUntil(until); });
EM_JS(void, torvin_page_game_started, (int watching), { torvinPage.gameStarted(watching !== 0); });
EM_JS(void, torvin_page_watch_ended, (double clock), { torvinPage.watchEnded(clock); });
EM_JS(void, torvin_page_picture_error, (const char* text), {
  torvinPage.pictureError(UTF8ToString(text));
});
EM_JS(void, torvin_page_script_refused, (const char* text), {
  torvinPage.scriptRefused(UTF8ToString(text));
});
EM_JS(int, torvin_page_device_width, (), { return torvinPage.deviceWidth(); });
EM_JS(int, torvin_page_device_height, (), { return torvinPage.deviceHeight(); });
EM_JS(void, torvin_page_paint, (int left, int top, int width, int height, const std::uint8_t* rgba), {
  torvinPage.paint(left, top, width, height, HEAPU8.subarray(rgba, rgba + width * height * 4));
});
EM_JS(void, torvin_page_label, (int index, int visible, double left, double top, double width,
                                double height, const char* caption), {
  torvinPage.label(index, visible !== 0, left, top, width, height, UTF8ToString(caption));
});
EM_JS(void, torvin_page_button, (int index, const char* caption, int enabled), {
  torvinPage.button(index, UTF8ToString(caption), enabled !== 0);
});
EM_JS(void, torvin_page_score_item, (const char* item), { torvinPage.scoreItem(UTF8ToString(item)); });
EM_JS(void, torvin_page_title, (const char* caption), { torvinPage.title(UTF8ToString(caption)); });
EM_JS(void, torvin_page_points, (int run, int total), { torvinPage.points(run, total); });
EM_JS(void, torvin_page_box_opened, (const char* text), { torvinPage.boxOpened(UTF8ToString(text)); });
EM_JS(void, torvin_page_box_closed, (), { torvinPage.boxClosed(); });
EM_JS(void, torvin_page_recorded, (const char* line), { torvinPage.recorded(UTF8ToString(line)); });
EM_JS(void, torvin_page_dumped, (const char* line), { torvinPage.dumped(UTF8ToString(line)); });
EM_JS(void, torvin_page_ticked, (int timer, double late), { torvinPage.ticked(timer, late); });
// clang-format on

namespace torvin::web::page {

namespace {

double timeOf(long long time) {
  return static_cast<double>(time);
}

long long wholeMs(double time) {
  return static_cast<long long>(time);
}

}  // namespace

long long now() {
  return wholeMs(torvin_page_now());
}

std::optional<long long> nextInputTime() {
  const double time = torvin_page_next_input_time();
  if (time < 0) {
    return std::nullopt;
  }
  return wholeMs(time);
}

Input takeInput() {
  double time = 0;
  int value = 0;
  const int kind = torvin_page_take_input(&time, &value);
  return {static_cast<InputKind>(kind), wholeMs(time), value};
}

std::string inputText() {
  std::string bytes(static_cast<std::size_t>(torvin_page_input_bytes()), '\0');
  torvin_page_copy_input_bytes(reinterpret_cast<std::uint8_t*>(bytes.data()));
  return bytes;
}

std::string inputName() {
  const int size = torvin_page_input_name_bytes();
  std::string name(static_cast<std::size_t>(size), '\0');
  torvin_page_copy_input_name(name.data(), size);
  name.resize(static_cast<std::size_t>(size - 1));
  return name;
}

void wait(std::optional<long long> until) {
  torvin_page_wait(until ? timeOf(*until) : -1.0);
}

void sleepUntil(long long until) {
  torvin_page_sleep_until(timeOf(until));
}

void gameStarted(bool watching) {
  torvin_page_game_started(watching ? 1 : 0);
}

void watchEnded(long long clock) {
  torvin_page_watch_ended(timeOf(clock));
}

void pictureError(const std::string& text) {
  torvin_page_picture_error(text.c_str());
}

void scriptRefused(const std::string& text) {
  torvin_page_script_refused(text.c_str());
}

int deviceWidth() {
  return torvin_page_device_width();
}

int deviceHeight() {
  return torvin_page_device_height();
}

void paint(int left, int top, int width, int height, const std::uint8_t* rgba) {
  torvin_page_paint(left, top, width, height, rgba);
}

void label(int index, bool visible, float left, float top, float width, float height,
           const std::string& caption) {
  torvin_page_label(index, visible ? 1 : 0, static_cast<double>(left), static_cast<double>(top),
                    static_cast<double>(width), static_cast<double>(height), caption.c_str());
}

void button(int index, const std::string& caption, bool enabled) {
  torvin_page_button(index, caption.c_str(), enabled ? 1 : 0);
}

void scoreItem(const std::string& item) {
  torvin_page_score_item(item.c_str());
}

void title(const std::string& caption) {
  torvin_page_title(caption.c_str());
}

void points(int run, int total) {
  torvin_page_points(run, total);
}

void boxOpened(const std::string& text) {
  torvin_page_box_opened(text.c_str());
}

void boxClosed() {
  torvin_page_box_closed();
}

void recorded(const std::string& line) {
  torvin_page_recorded(line.c_str());
}

void dumped(const std::string& line) {
  torvin_page_dumped(line.c_str());
}

void ticked(int timer, long long late) {
  torvin_page_ticked(timer, timeOf(late));
}

}  // namespace torvin::web::page
