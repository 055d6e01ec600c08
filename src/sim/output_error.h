// torvin-sim's output could not be written (a full disk, a closed pipe, a
// frame's picture): the run ends with exit status 3.
#pragma once

#include <cstring>
#include <stdexcept>
#include <string>

namespace torvin::sim {

class OutputError : public std::runtime_error {
 public:
  // `error` is the errno of the failed write, or 0 when it is not known.
  explicit OutputError(int error) : OutputError("the output", error) {}
  // `what` names what could not be written: "the frame DIR/0000000000007200.png".
  OutputError(const std::string& what, int error)
      : std::runtime_error(error != 0 ? "cannot write " + what + " (" + std::strerror(error) + ")"
                                      : "cannot write " + what) {}
};

}  // namespace torvin::sim
