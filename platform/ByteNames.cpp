#include "platform/ByteNames.h"

namespace platform {

namespace {

constexpr char16_t kFirstKept = 0xDC80;  // the byte 0x80
constexpr char16_t kLastKept = 0xDCFF;   // the byte 0xFF

bool IsKeptByte(QChar c) {
    return c.unicode() >= kFirstKept && c.unicode() <= kLastKept;
}

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at `at`, or 0 when its first byte starts none.
int ValidSequence(const QByteArray& bytes, qsizetype at) {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[at + i]); };
    const qsizetype left = bytes.size() - at;
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    int length = 0;
    unsigned char low = 0x80;   // the second byte's range, narrowed against overlong forms
    unsigned char high = 0xBF;  // and surrogates or code points beyond U+10FFFF
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (left < length || byte(1) < low || byte(1) > high)
        return 0;
    for (int i = 2; i < length; ++i) {
        if (!IsContinuation(byte(i)))
            return 0;
    }
    return length;
}

}  // namespace

QString PathFromBytes(const QByteArray& bytes) {
    QString path;
    path.reserve(bytes.size());
    qsizetype run = 0;  // the start of the valid run not yet appended
    qsizetype at = 0;
    while (at < bytes.size()) {
        const int length = ValidSequence(bytes, at);
        if (length > 0) {
            at += length;
            continue;
        }
        path += QString::fromUtf8(bytes.constData() + run, at - run);
        path += QChar(char16_t(0xDC00 + static_cast<unsigned char>(bytes[at])));
        run = ++at;
    }
    path += QString::fromUtf8(bytes.constData() + run, at - run);
    return path;
}

QByteArray PathBytes(const QString& path) {
    QByteArray bytes;
    qsizetype run = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (!IsKeptByte(path[i]))
            continue;
        bytes += QStringView(path).mid(run, i - run).toUtf8();
        bytes += char(path[i].unicode() - 0xDC00);
        run = i + 1;
    }
    bytes += QStringView(path).mid(run).toUtf8();
    return bytes;
}

QString ShownPath(const QString& path) {
    QString shown = path;
    for (QChar& c : shown) {
        if (IsKeptByte(c))
            c = QChar::ReplacementCharacter;
    }
    return shown;
}

}  // namespace platform
