#include "textterms.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tapewright {

QString LowerCased(QStringView s)
{
    QString out(s.size(), Qt::Uninitialized);
    const char16_t *src = s.utf16();
    char16_t *dst = reinterpret_cast<char16_t *>(out.data());
    const qsizetype n = s.size();
    qsizetype i = 0;
    // The converter lower-cases its whole text on every call: plain ASCII goes eight units at a
    // time, anything else through QChar one unit at a time (one-to-one, so positions stay).
#if defined(__SSE2__)
    const __m128i upperA = _mm_set1_epi16(short(u'A' - 1));
    const __m128i upperZ = _mm_set1_epi16(short(u'Z' + 1));
    const __m128i nonAscii = _mm_set1_epi16(short(0xFF80));
    const __m128i caseBit = _mm_set1_epi16(0x20);
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, nonAscii), _mm_setzero_si128())) !=
            0xFFFF) {
            for (qsizetype k = i; k < i + 8; ++k)
                dst[k] = src[k] < 0x80 ? char16_t(src[k] + (char16_t(src[k] - u'A') < 26 ? 32 : 0))
                                       : QChar::toLower(src[k]);
            continue;
        }
        // ASCII only, so signed 16-bit comparisons are safe.
        const __m128i isUpper =
            _mm_and_si128(_mm_cmpgt_epi16(v, upperA), _mm_cmplt_epi16(v, upperZ));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + i),
                         _mm_or_si128(v, _mm_and_si128(isUpper, caseBit)));
    }
#endif
    for (; i < n; ++i) {
        const char16_t u = src[i];
        dst[i] = u < 0x80 ? char16_t(u + (char16_t(u - u'A') < 26 ? 32 : 0)) : QChar::toLower(u);
    }
    return out;
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

QStringView Trimmed(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b] == u' ')
        ++b;
    while (e > b && s[e - 1] == u' ')
        --e;
    return s.sliced(b, e - b);
}

qsizetype FindChar(QStringView text, qsizetype from, char16_t c)
{
    const char16_t *const p = text.utf16();
    const qsizetype size = text.size();
    qsizetype i = from;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi16(short(c));
    for (; i + 8 <= size; i += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(units, wanted));
        if (mask != 0)
            return i + std::countr_zero(unsigned(mask)) / 2;
    }
#endif
    for (; i < size; ++i) {
        if (p[i] == c)
            return i;
    }
    return -1;
}

qsizetype CountChar(QStringView text, char16_t c)
{
    const char16_t *const p = text.utf16();
    const qsizetype size = text.size();
    qsizetype count = 0;
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi16(short(c));
    // Each 16-bit lane counts its matches (a match compares as -1); lanes are added up before
    // they can overflow.
    while (i + 8 <= size) {
        __m128i lanes = _mm_setzero_si128();
        const qsizetype end = qMin(size - 7, i + 8 * 0x7FFF);
        for (; i < end; i += 8) {
            const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
            lanes = _mm_sub_epi16(lanes, _mm_cmpeq_epi16(units, wanted));
        }
        alignas(16) quint16 sums[8];
        _mm_store_si128(reinterpret_cast<__m128i *>(sums), lanes);
        for (quint16 lane : sums)
            count += lane;
    }
#endif
    for (; i < size; ++i)
        count += p[i] == c;
    return count;
}

QString ReplaceAll(QStringView s, QStringView a, QStringView b)
{
    if (a.isEmpty())
        return s.toString();
    qsizetype at = s.indexOf(a);
    if (at < 0)
        return s.toString();
    QString out;
    out.reserve(s.size());
    qsizetype from = 0;
    while (at >= 0) {
        out.append(s.sliced(from, at - from));
        out.append(b);
        from = at + a.size();
        at = s.indexOf(a, from);
    }
    out.append(s.sliced(from));
    return out;
}

} // namespace tapewright
