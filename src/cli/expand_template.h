// `lexoquill-batch --expand-template TEMPLATE_FILE PARAMS_FILE`: the template tool of
// operation [17] without its window. Both files are read as raw bytes and the output is
// written to standard output as it is.
#pragma once

#include <cstdio>
#include <string>

namespace lq::cli {

// Exit status: 0 on success, 1 when a file cannot be read (the reason goes to err).
int run_expand_template(const std::string& template_file, const std::string& params_file,
                        std::FILE* out, std::FILE* err);

}  // namespace lq::cli
