#pragma once

#include "cli/cli_options.h"

namespace fw::cli {

// Reads the cinema board as the window does at start and prints one line per slot written. Returns the
// exit status.
int RunBoardCommand(const CliOptions& options);

}  // namespace fw::cli
