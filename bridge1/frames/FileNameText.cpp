#include "FileNameText.h"

namespace plexa::bridge1 {
namespace {

bool isHighSurrogate(std::uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(std::uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void appendUtf8(std::uint32_t codePoint, std::string& out) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

}  // namespace

bool fileNameToUtf8(const std::uint16_t* units, std::size_t length, std::string& utf8) {
    utf8.clear();
    if (length > 0 && units == nullptr) return false;
    utf8.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint32_t unit = units[i];
        if (unit == 0) return false;
        if (isLowSurrogate(unit)) return false;
        if (!isHighSurrogate(unit)) {
            appendUtf8(unit, utf8);
            continue;
        }
        if (i + 1 >= length || !isLowSurrogate(units[i + 1])) return false;
        const std::uint32_t low = units[++i];
        appendUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), utf8);
    }
    return true;
}

}  // namespace plexa::bridge1
