#include "cli/batch_cli.h"

int main(int argc, char** argv) {
  return lq::cli::run_cli(argc, argv);
}
