// orbita-dxg: inspect, extract and pack collection files (.dxg).
//
//   orbita-dxg list [--json] FILE
//   orbita-dxg extract FILE DIR
//   orbita-dxg pack --pictures OUT.dxg [options] IN.png...
//   orbita-dxg pack --waves OUT.dxg [options] IN.wav...
//   orbita-dxg check FILE
//
// Every failure prints "orbita-dxg: FILE: MESSAGE" and gives exit status 1.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace dxgtool {

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Colour given as 0xBBGGRR (hex, as stored), a decimal number, #RRGGBB or a colour name
// such as clWhite. False when it is none of these.
bool parseColour(const std::string& text, uint32_t& colour);

// File name of an extracted item: NNN-Name with characters unsafe in file names replaced.
std::string itemFileName(int index, const std::string& name, const std::string& extension);

}  // namespace dxgtool
