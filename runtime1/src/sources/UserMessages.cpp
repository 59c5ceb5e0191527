#include "UserMessages.h"

#include <algorithm>
#include <cstdio>

namespace plexa::virtual1 {

namespace {

constexpr std::size_t kLongestQuotedValue = 200;

}  // namespace

void reportToUser(const std::string& text) {
    std::fprintf(stderr, "Plexa: %s\n", text.c_str());
    std::fflush(stderr);
}

std::string quotedForUser(const std::string& value) {
    static const char hex[] = "0123456789abcdef";
    std::string quoted = "\"";
    const std::size_t shown = std::min(value.size(), kLongestQuotedValue);
    for (std::size_t i = 0; i < shown; ++i) {
        const auto byte = static_cast<unsigned char>(value[i]);
        if (byte == '"' || byte == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(byte);
        } else if (byte < 0x20 || byte >= 0x7f) {
            quoted += "\\x";
            quoted += hex[byte >> 4];
            quoted += hex[byte & 0xf];
        } else {
            quoted += static_cast<char>(byte);
        }
    }
    quoted += '"';
    if (shown < value.size()) quoted += " (cut short: " + std::to_string(value.size()) + " bytes in all)";
    return quoted;
}

}  // namespace plexa::virtual1
