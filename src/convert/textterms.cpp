#include "convert/textterms.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tapewright {

QString LowerCased(QStringView s)
{
    QString out(s.size(), Qt::Uninitialized);
    LowerCasedInto(s, reinterpret_cast<char16_t *>(out.data()));
    return out;
}

void LowerCasedInto(QStringView s, char16_t *dst)
{
    const char16_t *src = s.utf16();
    const qsizetype n = s.size();
    qsizetype i = 0;
    // The converter lower-cases every line it reads: plain ASCII goes eight units at a time,
    // anything else through QChar one unit at a time (one-to-one, so positions stay).
#if defined(__SSE2__)
    const __m128i upperA = _mm_set1_epi16(short(u'A' - 1));
    const __m128i upperZ = _mm_set1_epi16(short(u'Z' + 1));
    const __m128i nonAscii = _mm_set1_epi16(short(0xFF80));
    const __m128i caseBit = _mm_set1_epi16(0x20);
    const auto block = [&](qsizetype at) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + at));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, nonAscii), _mm_setzero_si128())) !=
            0xFFFF) {
            for (qsizetype k = at; k < at + 8; ++k)
                dst[k] = LowerUnit(src[k]);
            return;
        }
        // ASCII only, so signed 16-bit comparisons are safe.
        const __m128i isUpper =
            _mm_and_si128(_mm_cmpgt_epi16(v, upperA), _mm_cmplt_epi16(v, upperZ));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + at),
                         _mm_or_si128(v, _mm_and_si128(isUpper, caseBit)));
    };
    for (; i + 8 <= n; i += 8)
        block(i);
    // The last units as the last eight of the text: some are lower-cased twice, to the same.
    if (i < n && n >= 8) {
        block(n - 8);
        return;
    }
#endif
    for (; i < n; ++i)
        dst[i] = LowerUnit(src[i]);
}

QString UpperCased(QStringView s)
{
    QString out(s.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (QChar c : s) {
        const char16_t u = c.unicode();
        if (u < 0x80)
            *dst++ = QChar(u >= u'a' && u <= u'z' ? char16_t(u - 32) : u);
        else
            *dst++ = c.toUpper();
    }
    return out;
}

QString Joined(std::initializer_list<QStringView> parts)
{
    qsizetype size = 0;
    for (QStringView part : parts)
        size += part.size();
    QString out(size, Qt::Uninitialized);
    char16_t *p = reinterpret_cast<char16_t *>(out.data());
    for (QStringView part : parts)
        p = std::copy_n(part.utf16(), part.size(), p);
    return out;
}

qsizetype ReplaceAll(char16_t *text, qsizetype size, QStringView a, QStringView b)
{
    Q_ASSERT(!a.isEmpty() && b.size() <= a.size());
    const qsizetype n = a.size();
    const char16_t *const word = a.utf16();
    qsizetype write = -1; // -1 until the first match: nothing before it moves
    qsizetype read = 0;
    // From the first match on the text moves left, so the writing never overtakes the reading.
    const auto keep = [&](qsizetype from, qsizetype to) {
        std::memmove(text + write, text + from, size_t(to - from) * sizeof(char16_t));
        write += to - from;
    };
    ForEachChar(QStringView(text, size), 0, word[0], [&](qsizetype at) {
        if (at < read || size - at < n || !std::equal(word + 1, word + n, text + at + 1))
            return true; // inside the last match, or no match
        if (write < 0)
            write = read = at;
        keep(read, at);
        std::copy_n(b.utf16(), b.size(), text + write);
        write += b.size();
        read = at + n;
        return true;
    });
    if (write < 0)
        return size;
    keep(read, size);
    return write;
}

void ReplaceChar(char16_t *text, qsizetype size, char16_t a, char16_t b)
{
    ForEachChar(QStringView(text, size), 0, a, [text, b](qsizetype i) {
        text[i] = b;
        return true;
    });
}

} // namespace tapewright
