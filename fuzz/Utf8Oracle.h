#pragma once

// A second, deliberately plain reading of UTF-8 for the fuzz targets, written
// from the definition rather than from the table of well-formed sequences
// that zelkkit's Utf8 uses: a lead byte announces a length by its high bits;
// a run of bytes can start a sequence when its bits fit and some scalar value
// of that length (not a surrogate, not beyond U+10FFFF, not overlong) begins
// with them. The longest such run is one character when complete, one U+FFFD
// (its maximal subpart) when not; a byte that starts nothing is one U+FFFD.
// A byte-order mark is a character like any other.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <algorithm>
#include <cstdint>

namespace Utf8Oracle {

// The length a lead byte announces, or 0 for a byte that cannot lead.
inline int announcedLength(unsigned char lead)
{
    if ((lead & 0x80) == 0x00)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 0;
}

// Whether the first count bytes can begin a sequence of length bytes: the
// values they leave open, [lowest, highest], meet the scalar values of that
// length. On a complete sequence (count == length) *codePoint is its value.
inline bool canBegin(const unsigned char *bytes, int count, int length, std::uint32_t *codePoint)
{
    static constexpr unsigned char leadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    std::uint32_t lowest = bytes[0] & leadMask[length];
    std::uint32_t highest = lowest;
    for (int j = 1; j < length; ++j) {
        if (j < count) {
            if ((bytes[j] & 0xC0) != 0x80)
                return false;
            lowest = (lowest << 6) | (bytes[j] & 0x3F);
            highest = (highest << 6) | (bytes[j] & 0x3F);
        } else {
            lowest <<= 6;
            highest = (highest << 6) | 0x3F;
        }
    }
    static constexpr std::uint32_t first[] = {0, 0, 0x80, 0x800, 0x10000};
    static constexpr std::uint32_t last[] = {0, 0x7F, 0x7FF, 0xFFFF, 0x10FFFF};
    const std::uint32_t from = std::max(lowest, first[length]);
    const std::uint32_t to = std::min(highest, last[length]);
    if (from > to || (from >= 0xD800 && to <= 0xDFFF))
        return false;
    *codePoint = from;
    return true;
}

inline QString text(QByteArrayView input)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(input.data());
    const qsizetype size = input.size();
    QString result;
    qsizetype i = 0;
    while (i < size) {
        const int length = announcedLength(bytes[i]);
        int longest = 0;
        std::uint32_t codePoint = 0;
        for (int count = 1; count <= length && i + count <= size; ++count) {
            std::uint32_t value = 0;
            if (!canBegin(bytes + i, count, length, &value))
                break;
            longest = count;
            codePoint = value;
        }
        if (length > 0 && longest == length) {
            if (codePoint < 0x10000) {
                result.append(QChar(char16_t(codePoint)));
            } else {
                result.append(QChar(char16_t(0xD7C0 + (codePoint >> 10))));
                result.append(QChar(char16_t(0xDC00 | (codePoint & 0x3FF))));
            }
            i += length;
        } else {
            result.append(QChar(char16_t(0xFFFD)));
            i += std::max(longest, 1);
        }
    }
    return result;
}

// The same text written back as UTF-8.
inline QByteArray repaired(QByteArrayView input)
{
    return text(input).toUtf8();
}

} // namespace Utf8Oracle
