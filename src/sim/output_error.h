// torvin-sim's output could not be written (a full disk, a closed pipe): the
// run ends with exit status 3.
#pragma once

#include <cstring>
#include <stdexcept>
#include <string>

namespace torvin::sim {

class OutputError : public std::runtime_error {
 public:
  // `error` is the errno of the failed write, or 0 when it is not known.
  explicit OutputError(int error)
      : std::runtime_error(error != 0 ? std::string("cannot write the output (") +
                                            std::strerror(error) + ")"
                                      : std::string("cannot write the output")) {}
};

}  // namespace torvin::sim
