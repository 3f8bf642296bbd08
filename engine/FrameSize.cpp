#include "FrameSize.h"

#include <climits>

namespace kivo {
namespace {

bool ReadDecimal(std::string_view text, int& value) {
    size_t i = 0;
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        i = 1;
    }
    if (i == text.size()) {
        return false;
    }
    long long magnitude = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > -static_cast<long long>(INT_MIN)) {
            return false;
        }
    }
    long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT_MAX) {
        return false;
    }
    value = int(signedValue);
    return true;
}

}  // namespace

bool ReadFrameSize(std::string_view text, int& width, int& height, std::string_view* offending) {
    const size_t x = text.find_first_of("xX");
    std::string_view bad = text;
    int w = 0;
    int h = 0;
    if (x != std::string_view::npos) {
        if (!ReadDecimal(text.substr(0, x), w)) {
            bad = text.substr(0, x);
        } else if (!ReadDecimal(text.substr(x + 1), h)) {
            bad = text.substr(x + 1);
        } else {
            width = w;
            height = h;
            return true;
        }
    }
    if (offending) {
        *offending = bad;
    }
    return false;
}

bool ParseFrameSize(std::string_view text, int& width, int& height) {
    int w = 0;
    int h = 0;
    if (!ReadFrameSize(text, w, h) || w < 1 || h < 1 || w > kMaxFrameSide || h > kMaxFrameSide) {
        return false;
    }
    width = w;
    height = h;
    return true;
}

}  // namespace kivo
