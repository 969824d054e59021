#include "convert/infolines.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tapewright {

namespace {

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t'; // a tab is a blank by the time lines are trimmed
}

// Follows one pass over the text: every CR and tab it meets (and now and then another control
// character, which it passes over) in order of position.
template <class OnLine> class Cutter
{
public:
    Cutter(const char16_t *text, OnLine onLine) : m_text(text), m_onLine(onLine) {}

    void at(qsizetype i, qsizetype size)
    {
        switch (m_text[i]) {
        case u'\r':
            if (i + 1 < size && m_text[i + 1] == u'\n')
                endLine(i);
            break;
        case u'\t':
            if (firstTab < 0)
                firstTab = i;
            break;
        default:
            break;
        }
    }

    qsizetype lineStart = 0; // where the line being read begins
    qsizetype firstTab = -1;

private:
    void endLine(qsizetype cr)
    {
        qsizetype b = lineStart;
        qsizetype e = cr;
        while (b < e && isBlank(m_text[b]))
            ++b;
        while (e > b && isBlank(m_text[e - 1]))
            --e;
        m_onLine(b, e - b);
        lineStart = cr + 2;
    }

    const char16_t *m_text;
    OnLine m_onLine;
};

} // namespace

InfoLines InfoLines::cut(const QString &infoText)
{
    InfoLines result;
    const auto *const p = reinterpret_cast<const char16_t *>(infoText.utf16());
    const qsizetype size = infoText.size();
    std::vector<Span> &spans = result.m_spans;
    // Lines of real info texts run to some forty characters; the list grows if they are shorter.
    spans.reserve(size_t(size / 32 + 8));
    Cutter cutter(p, [&spans](qsizetype start, qsizetype length) {
        spans.push_back({start, length});
    });

    // One pass over the text finds the line ends and the tabs together. CR, LF and tab are the only
    // characters below 14 an info text normally holds, so one test per eight units passes over
    // everything else.
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i thirteen = _mm_set1_epi16(13);
    const __m128i zero = _mm_setzero_si128();
    for (; i + 8 <= size; i += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        // Saturating subtraction leaves zero exactly for the units 0 to 13.
        unsigned mask =
            unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_subs_epu16(units, thirteen), zero)));
        while (mask != 0) {
            const int bit = std::countr_zero(mask);
            cutter.at(i + bit / 2, size);
            mask &= ~(3u << bit);
        }
    }
#endif
    for (; i < size; ++i) {
        if (p[i] <= 13)
            cutter.at(i, size);
    }

    // Only what lies in lines counts; text after the last CR LF is never looked at.
    const qsizetype inLines = cutter.lineStart;
    result.m_text = infoText;
    if (cutter.firstTab >= 0 && cutter.firstTab < inLines)
        result.m_text.replace(u'\t', u' '); // one to one: the lines keep their places
    return result;
}

} // namespace tapewright
