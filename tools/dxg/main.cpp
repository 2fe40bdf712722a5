#include <iostream>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "tools/dxg/DxgTool.h"

int main(int argc, char** argv) {
    platform::removeTemporaryOnStopSignals();
    std::vector<std::string> args(argv + 1, argv + argc);
    return platform::checkedStatus("orbita-dxg", dxgtool::run(args, std::cout, std::cerr));
}
