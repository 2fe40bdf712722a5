// The built-in collection files, embedded in the program by the build: the ship list "lod",
// the explosions "vybuch", the HUD pictures "podklad" (meny, obrov, oblev, obprav, obhore,
// obdole, zi1, zi2, zi3, recept) and the effect list "DXWaveList1". Read them with
// media::ReadPictureCollection / media::ReadWaveCollection.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace builtins {
const std::vector<uint8_t>& lod();
const std::vector<uint8_t>& vybuch();
const std::vector<uint8_t>& podklad();
const std::vector<uint8_t>& DXWaveList1();
}  // namespace builtins

namespace assets {
// By file name ("lod.dxg") or list name ("lod"); throws std::out_of_range for anything else.
const std::vector<uint8_t>& BuiltinFile(const std::string& name);
}  // namespace assets
