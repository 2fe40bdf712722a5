// The program's entry. What it printed must have reached standard output, or the run failed.
#include "app/Program.h"
#include "platform/Files.h"

int main(int argc, char** argv) { return platform::checkedStatus("orbita", app::runProgram(argc, argv)); }
