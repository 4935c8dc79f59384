// The program's one error: a failed drawing or control operation, or a grid index out of range.
#pragma once

#include <stdexcept>
#include <string>

namespace quorrin {

// Nothing in the program handles this error: it travels to the window, which reports it once
// and ends the program. Whatever was drawn before it stays drawn.
class FatalError : public std::runtime_error {
public:
    explicit FatalError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace quorrin
