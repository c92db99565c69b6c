// lexoquill-batch: the batch run from the command line. main() only hands over.
#pragma once

namespace lq::cli {

// Parses the arguments, runs and answers the exit status: 0 done, 1 the run stopped on
// an error, 2 bad usage.
int run_cli(int argc, char** argv);

}  // namespace lq::cli
