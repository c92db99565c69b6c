#include <cstdio>
#include <cstring>

namespace {

const char* kUsage =
    "Usage: lexoquill-batch [options] PATH...\n"
    "Process many text files at once with one scope and one operation.\n"
    "\n"
    "  -h, --help       show this help and exit\n"
    "  --version        show the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "-h") || !std::strcmp(argv[i], "--help")) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (!std::strcmp(argv[i], "--version")) {
      std::printf("lexoquill-batch %s\n", LEXOQUILL_VERSION);
      return 0;
    }
    std::fprintf(stderr, "lexoquill-batch: unknown argument '%s'\n", argv[i]);
    return 2;
  }
  std::fputs(kUsage, stderr);
  return 2;
}
