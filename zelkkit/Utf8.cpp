#include "Utf8.h"

#include <simdjson.h>

namespace ZelkKit::Utf8 {

namespace {

constexpr char16_t replacementCharacter = 0xFFFD;
constexpr char byteOrderMark[] = "\xEF\xBB\xBF";

// One well-formed sequence, or one maximal subpart of an ill-formed one.
struct Piece {
    qsizetype length;
    char32_t codePoint; // meaningful when valid
    bool valid;
};

// The piece that starts at bytes[i] (i < size). The well-formed sequences
// are those of the Unicode standard's table 3-7: the second byte's range
// depends on the lead byte (E0 A0..BF, ED 80..9F, F0 90..BF, F4 80..8F,
// otherwise 80..BF), every later byte is 80..BF. C0, C1 and F5..FF never
// lead, so they and a stray continuation byte are a piece of one byte.
Piece pieceAt(const unsigned char *bytes, qsizetype i, qsizetype size)
{
    const unsigned char lead = bytes[i];
    if (lead < 0x80)
        return {1, lead, true};
    qsizetype length = 0;
    char32_t codePoint = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return {1, 0, false};
    }
    for (qsizetype k = 1; k < length; ++k) {
        if (i + k >= size)
            return {k, 0, false};
        const unsigned char next = bytes[i + k];
        if (next < low || next > high)
            return {k, 0, false};
        codePoint = (codePoint << 6) | (next & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return {length, codePoint, true};
}

} // namespace

bool isValid(QByteArrayView bytes)
{
    return simdjson::validate_utf8(bytes.data(), size_t(bytes.size()));
}

QString textOfValid(QByteArrayView bytes)
{
    // QString::fromUtf8 drops a byte-order mark at the very start of its
    // input; here it is text. Only the marks at the start are put back by
    // hand, the rest is Qt's fast conversion.
    qsizetype marks = 0;
    while (bytes.sliced(3 * marks).startsWith(byteOrderMark))
        ++marks;
    if (marks == 0)
        return QString::fromUtf8(bytes);
    QString text(marks, QChar(char16_t(0xFEFF)));
    text += QString::fromUtf8(bytes.sliced(3 * marks));
    return text;
}

QString text(QByteArrayView bytes)
{
    if (isValid(bytes))
        return textOfValid(bytes);
    // Every piece is at least one byte and gives at most one UTF-16 unit per
    // byte, so the byte count is room enough.
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    QString text(size, Qt::Uninitialized);
    char16_t *const begin = reinterpret_cast<char16_t *>(text.data());
    char16_t *out = begin;
    qsizetype i = 0;
    while (i < size) {
        if (in[i] < 0x80) {
            *out++ = in[i++];
            continue;
        }
        const Piece piece = pieceAt(in, i, size);
        i += piece.length;
        if (!piece.valid) {
            *out++ = replacementCharacter;
        } else if (piece.codePoint < 0x10000) {
            *out++ = char16_t(piece.codePoint);
        } else {
            *out++ = char16_t(0xD800 + ((piece.codePoint - 0x10000) >> 10));
            *out++ = char16_t(0xDC00 + ((piece.codePoint - 0x10000) & 0x3FF));
        }
    }
    text.truncate(out - begin);
    return text;
}

QByteArray repaired(QByteArray bytes)
{
    if (isValid(bytes))
        return bytes;
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype size = bytes.size();
    QByteArray result;
    result.reserve(size + size / 2);
    qsizetype i = 0;
    while (i < size) {
        // Runs of valid bytes are copied whole.
        const qsizetype from = i;
        Piece piece{0, 0, true};
        while (i < size) {
            piece = in[i] < 0x80 ? Piece{1, in[i], true} : pieceAt(in, i, size);
            if (!piece.valid)
                break;
            i += piece.length;
        }
        result.append(bytes.constData() + from, i - from);
        if (i < size) {
            result.append("\xEF\xBF\xBD", 3);
            i += piece.length;
        }
    }
    return result;
}

} // namespace ZelkKit::Utf8
