#include "engine/FileFacts.h"

#include <algorithm>
#include <cctype>

namespace quenda {

namespace {

constexpr char kSeparator = '/';

// Wide enough for any file size in ten-thousandths.
using Fixed = __int128;

// value / divisor rounded to the nearest integer, halves to even.
Fixed DivideHalfEven(Fixed value, Fixed divisor) {
    Fixed quotient = value / divisor;
    const Fixed twiceRemainder = (value % divisor) * 2;
    if (twiceRemainder > divisor || (twiceRemainder == divisor && quotient % 2 != 0)) {
        ++quotient;
    }
    return quotient;
}

}  // namespace

std::string TrimBlanks(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string FileNamePart(const std::string& path) {
    const size_t slash = path.rfind(kSeparator);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderPart(const std::string& path) {
    return path.substr(0, path.size() - FileNamePart(path).size());
}

std::string UpperCased(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::string UpperExtension(const std::string& path) {
    const std::string name = FileNamePart(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : UpperCased(name.substr(dot + 1));
}

std::string FormatFileSizeText(uint64_t size) {
    static const char* const kUnits[] = {" Bytes", " KB", " MB", " GB", " TB"};
    // Fixed point with four decimals, each division kept to four decimals.
    constexpr Fixed kScale = 10000;
    Fixed value = static_cast<Fixed>(size) * kScale;
    size_t unit = 0;
    while (value >= 1024 * kScale && unit + 1 < std::size(kUnits)) {
        value = DivideHalfEven(value, 1024);
        ++unit;
    }
    const Fixed hundredths = DivideHalfEven(value, 100);
    std::string text = std::to_string(static_cast<uint64_t>(hundredths / 100));
    const int fraction = static_cast<int>(hundredths % 100);
    if (fraction != 0) {
        text += '.';
        text += static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0) {
            text += static_cast<char>('0' + fraction % 10);
        }
    }
    return text + kUnits[unit];
}

std::string ReplaceExtension(const std::string& path, const std::string& extension) {
    const size_t nameStart = FolderPart(path).size();
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart) {
        return path + "." + extension;
    }
    return path.substr(0, dot + 1) + extension;
}

}  // namespace quenda
