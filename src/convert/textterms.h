// The small text operations the converter is written in. Case changes are one-to-one per UTF-16
// unit (never QString::toLower, which turns "ß" into "ss" and moves every later position), and
// "blank" means U+0020 only.
#pragma once

#include <QString>
#include <QStringView>

#include <bit>
#include <initializer_list>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tapewright {

// A scratch buffer of UTF-16 units, reused from line to line within one conversion: it grows
// when asked for more than it holds and never clears what it hands out.
class UnitBuffer
{
public:
    char16_t *reserve(qsizetype n)
    {
        if (n > m_capacity) {
            m_capacity = qMax(n, 2 * m_capacity);
            m_units = std::make_unique_for_overwrite<char16_t[]>(size_t(m_capacity));
        }
        return m_units.get();
    }
    char16_t *data() const { return m_units.get(); }

private:
    std::unique_ptr<char16_t[]> m_units;
    qsizetype m_capacity = 0;
};

// One UTF-16 unit lower-cased, as every lower-cased text of the converter is.
inline char16_t LowerUnit(char16_t u)
{
    return u < 0x80 ? char16_t(u + (char16_t(u - u'A') < 26 ? 32 : 0)) : QChar::toLower(u);
}

QString LowerCased(QStringView s);
QString UpperCased(QStringView s);
// s lower-cased into dst, which has room for s.size() units.
void LowerCasedInto(QStringView s, char16_t *dst);
// s lower-cased into buffer; the view lives until the buffer is used again.
inline QStringView LowerCased(QStringView s, UnitBuffer &buffer)
{
    char16_t *dst = buffer.reserve(s.size());
    LowerCasedInto(s, dst);
    return QStringView(dst, s.size());
}

// The parts one after the other, in one allocation: an element is its tags and its text.
QString Joined(std::initializer_list<QStringView> parts);

// Leading and trailing blanks (U+0020 only) removed. Inline: several times for every track.
inline QStringView Trimmed(QStringView s)
{
    const char16_t *const p = s.utf16();
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && p[b] == u' ')
        ++b;
    while (e > b && p[e - 1] == u' ')
        --e;
    return QStringView(p + b, e - b);
}

// The text from character n + 1 on; empty when s is not longer than n.
inline QStringView RestAfter(QStringView s, qsizetype n)
{
    return s.size() > n ? s.sliced(n) : QStringView();
}

// Inline on purpose: every field search asks this of every line, and the keywords are short.
inline bool BeginsWith(QStringView s, QStringView w)
{
    if (s.size() < w.size())
        return false;
    const char16_t *a = s.utf16();
    const char16_t *b = w.utf16();
    for (qsizetype i = 0; i < w.size(); ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

inline bool Contains(QStringView s, QStringView w)
{
    return s.contains(w, Qt::CaseSensitive);
}

// Calls f(i) for each position i of c in text, from `from` on and in order, until f returns
// false. The converter scans nearly every line of every conversion for single characters: this
// reads eight units at a time and hands over their matches as one bit mask, and being inline it
// costs no call per match (short lines are the rule, and on those a call per search costs more
// than the reading).
template <class F> void ForEachChar(QStringView text, qsizetype from, char16_t c, F &&f)
{
    const char16_t *const p = text.utf16();
    const qsizetype size = text.size();
    qsizetype i = from;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi16(short(c));
    const auto matches = [&](qsizetype at) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + at));
        return unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(units, wanted)));
    };
    for (; i + 8 <= size; i += 8) {
        for (unsigned mask = matches(i); mask != 0; mask &= mask - 1, mask &= mask - 1) {
            if (!f(i + std::countr_zero(mask) / 2))
                return;
        }
    }
    if (i < size && size >= 8) {
        // The last units are read as the last eight of the text, without the ones already seen.
        const qsizetype at = size - 8;
        for (unsigned mask = matches(at) & (~0u << (2 * (i - at))); mask != 0;
             mask &= mask - 1, mask &= mask - 1) {
            if (!f(at + std::countr_zero(mask) / 2))
                return;
        }
        return;
    }
#endif
    for (; i < size; ++i) {
        if (p[i] == c && !f(i))
            return;
    }
}

// The position of the first c in text at or after from, or -1.
inline qsizetype FindChar(QStringView text, qsizetype from, char16_t c)
{
    qsizetype found = -1;
    ForEachChar(text, from, c, [&found](qsizetype i) {
        found = i;
        return false;
    });
    return found;
}

// Every occurrence of a in text[0, size), left to right without overlap, replaced by b in one
// pass (what a replacement makes is not searched again); returns the new size. b is never longer
// than a, so the text is rewritten where it stands. The search jumps from one first character of
// a to the next with the vectorised character search, as a rarely occurs at all.
qsizetype ReplaceAll(char16_t *text, qsizetype size, QStringView a, QStringView b);
inline qsizetype RemoveAll(char16_t *text, qsizetype size, QStringView w)
{
    return ReplaceAll(text, size, w, {});
}

// Every a in text[0, size) replaced by b.
void ReplaceChar(char16_t *text, qsizetype size, char16_t a, char16_t b);

} // namespace tapewright
