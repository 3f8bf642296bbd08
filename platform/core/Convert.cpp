#include "platform/core/Convert.h"

#include <limits>

#include "platform/core/Errors.h"

namespace {

bool ParseInt(const QString& text, int& out) {
    if (text.isEmpty() || text.size() > 64)
        return false;
    int i = 0;
    bool negative = false;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        i = 1;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return false;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c.unicode() - '0';
        } else if (base == 16 && c.toLower() >= 'a' && c.toLower() <= 'f') {
            digit = c.toLower().unicode() - 'a' + 10;
        } else {
            return false;
        }
        value = value * base + digit;
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min()) {
        return false;
    }
    out = int(value);
    return true;
}

}  // namespace

int StrToInt(const QString& text) {
    int value = 0;
    if (!ParseInt(text, value))
        throw EConvertError::NotAnInteger(text);
    return value;
}

int StrToIntDef(const QString& text, int fallback) {
    int value = 0;
    return ParseInt(text, value) ? value : fallback;
}
