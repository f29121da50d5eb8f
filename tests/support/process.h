#pragma once

// Runs a program of the project as a child process and collects what it printed.

#include <string>
#include <utility>
#include <vector>

namespace fw::test {

struct ProcessResult {
    int exitCode = -1;  // -1 when it did not exit normally
    std::string out;
    std::string err;
};

// `environment` entries ("NAME=value") are added to (or replace those of) this process's environment.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment = {});

}  // namespace fw::test
