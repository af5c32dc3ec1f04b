#include "codecs/PngText.h"

namespace quenda::pngtext {

namespace {

constexpr size_t kMaxTextLength = 32700;
constexpr size_t kMaxKeywordLength = 79;
constexpr char32_t kReplacement = 0xFFFD;

// Length of the UTF-8 sequence led by `lead`, 0 when it cannot lead one.
size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        return 2;
    }
    if ((lead & 0xF0) == 0xE0) {
        return 3;
    }
    if ((lead & 0xF8) == 0xF0) {
        return 4;
    }
    return 0;
}

char32_t ToLowerAscii(char32_t c) {
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

}  // namespace

std::u32string FromUtf8(const std::string& text) {
    std::u32string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t n = SequenceLength(lead);
        if (n == 0 || i + n > text.size()) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        char32_t c = n == 1 ? lead : (lead & (0x7F >> n));
        bool valid = true;
        for (size_t k = 1; k < n; ++k) {
            const auto cont = static_cast<unsigned char>(text[i + k]);
            valid = valid && (cont & 0xC0) == 0x80;
            c = (c << 6) | (cont & 0x3F);
        }
        out.push_back(valid ? c : kReplacement);
        i += valid ? n : 1;
    }
    return out;
}

std::string ToUtf8(const std::u32string& text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::string ToLatin1(const std::u32string& text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        out.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
    }
    return out;
}

std::u32string CleanText(std::u32string text) {
    if (text.size() > kMaxTextLength) {
        text.resize(kMaxTextLength);
    }
    std::u32string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == U'\r') {
            out.push_back(U'\n');
            if (i + 1 < text.size() && text[i + 1] == U'\n') {
                ++i;
            }
            continue;
        }
        if (text[i] < 32 && text[i] != U'\t' && text[i] != U'\n') {
            return {};
        }
        out.push_back(text[i]);
    }
    return out;
}

std::u32string CleanKeyword(std::u32string keyword) {
    if (keyword.size() > kMaxKeywordLength) {
        keyword.resize(kMaxKeywordLength);
    }
    std::u32string out;
    for (char32_t c : keyword) {
        if (c == 160) {
            c = U' ';
        }
        if (c == U' ' && (out.empty() || out.back() == U' ')) {
            continue;
        }
        out.push_back(c);
    }
    if (!out.empty() && out.back() == U' ') {
        out.pop_back();
    }
    for (char32_t c : out) {
        if (!((c >= 32 && c <= 126) || (c >= 161 && c <= 255))) {
            return {};
        }
    }
    return out;
}

bool EqualsIgnoringCase(const std::u32string& a, const std::u32string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (ToLowerAscii(a[i]) != ToLowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace quenda::pngtext
