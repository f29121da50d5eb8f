#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fw {

// A text of the program: GBK bytes (code page 936), no zero bytes. A byte of 0x80 or above starts a
// two-byte character. UTF-8 appears only where a routine says so (the network and display edges).
using Text = std::string;

// Raw bytes as read from or sent to the network.
using Bytes = std::string;

// An ordered list of texts that the caller owns.
using TextList = std::vector<Text>;

}  // namespace fw
