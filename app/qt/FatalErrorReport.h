// How the program ends on its fatal error.
#pragma once

namespace quorrin {

class MainWindow;

// Reports the window's fatal error once, on standard error and, where there is a screen, in a
// dialog; then the event loop ends with a non-zero status.
void EndProgramOnFatalError(MainWindow& window);

}  // namespace quorrin
