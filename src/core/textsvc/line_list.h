// A document as the batch run and the operations see it: one byte string per line,
// without line-end characters.
#pragma once

#include <string>
#include <vector>

namespace lq {

using LineList = std::vector<std::string>;

}  // namespace lq
