// The game in the browser page: one game after another, each a new window of
// the game on a clock that starts with it, for the player or played by a
// script the player chose to watch.
#include <memory>
#include <optional>
#include <vector>

#include "platform/picture.h"
#include "web/page_bridge.h"
#include "web/web_host.h"

int main() {
  using torvin::web::WebHost;
  std::optional<std::vector<torvin::script::Action>> watch;
  for (;;) {
    auto host = std::make_unique<WebHost>(std::move(watch));
    watch.reset();
    WebHost::Next next = WebHost::Next::NewGame;
    try {
      host->load();
      next = host->run();
    } catch (const torvin::PictureError& error) {
      // The same sentences as the window's, on the page; the game cannot go on.
      torvin::web::page::pictureError(error.what());
      return 1;
    }
    while (next == WebHost::Next::Over) {
      next = host->afterwards();
    }
    if (next == WebHost::Next::Watch) {
      watch = host->watchScript();
    }
  }
}
