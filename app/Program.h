// The program: options, the back-end, the main form and the message loop, with the drivers
// that run it from outside (scripts, recording, state dumps, the data check).
#pragma once

namespace app {

// Runs the program with its command line. Returns the exit status.
int runProgram(int argc, char** argv);

}  // namespace app
