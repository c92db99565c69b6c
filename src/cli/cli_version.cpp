#include "cli/cli_version.h"
