#pragma once

#include "cli/cli_options.h"

namespace fw::cli {

// Runs one search run as the search button would, waits for every worker of the run, prints both lists
// and the status summary. Returns the exit status.
int RunSearchCommand(const CliOptions& options);

}  // namespace fw::cli
