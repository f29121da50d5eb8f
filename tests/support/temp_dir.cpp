#include "support/temp_dir.h"

#include <stdlib.h>

#include <stdexcept>
#include <string>

namespace fw::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ferrowind-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace fw::test
