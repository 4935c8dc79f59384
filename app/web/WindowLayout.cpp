// Prints the window's table, for the page's assembler to lay the page out by, at build time.
#include <cstdio>

#include "Window.h"

int main() { return std::fputs(quorrin::WindowLayoutText().c_str(), stdout) < 0 ? 1 : 0; }
