#pragma once
// Where the preview's models come from: a DFF file with its texture
// dictionary beside it, or an entry of an IMG archive named by one path
// ("C:\game\models.img\ped.dff") with the archive's entry of its
// dictionary's name.

#include <cstdint>
#include <string>
#include <vector>

namespace zam {

struct ModelFiles {
  std::vector<uint8_t> dff;
  std::vector<uint8_t> txd;
  bool hasDictionary = false;  // a model without its dictionary is drawn untextured
};

// False when the model itself cannot be read; a dictionary that cannot be
// read is left out.
bool ReadModelFiles(const std::string& path, ModelFiles& files);

}  // namespace zam
