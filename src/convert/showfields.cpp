#include "convert/showfields.h"

#include "convert/textterms.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tapewright {

namespace {

// Whether a source word begins at w[i]; false for "date", which rules the line out.
enum class Word
{
    None,
    Source,
    Date,
};

Word wordAt(QStringView w, qsizetype i, bool withSdb)
{
    const QStringView at = w.sliced(i);
    switch (w[i].unicode()) {
    case u'd':
        if (BeginsWith(at, u"date"))
            return Word::Date;
        return BeginsWith(at, u"dat") || BeginsWith(at, u"dae") ? Word::Source : Word::None;
    case u's':
        return BeginsWith(at, u"sbd") || BeginsWith(at, u"shn") || BeginsWith(at, u"source") ||
                       (withSdb && BeginsWith(at, u"sdb"))
                   ? Word::Source
                   : Word::None;
    case u'a':
        return BeginsWith(at, u"aud") ? Word::Source : Word::None;
    case u'l':
        return BeginsWith(at, u"lineage") ? Word::Source : Word::None;
    case u'c':
        return BeginsWith(at, u"cda") || BeginsWith(at, u"cdr") ? Word::Source : Word::None;
    case u'g':
        return BeginsWith(at, u"genealogy") ? Word::Source : Word::None;
    default:
        return Word::None;
    }
}

// Whether the lower-cased line names how the recording was made or passed on: it holds one of
// the source words and not "date", which rules a line out although "dat" is a source word
// ("transfer date 1999" is no lineage).
//
// Every word, "date" included, begins with one of nine pairs of letters ("sb", "sd", "sh", "so",
// "au", "da", "li", "cd", "ge"), which ordinary text holds seldom: the pairs are looked for eight
// positions at a time, and only where one stands are the words compared. This runs on every line
// until the source line is found, often on all of them.
bool hasSourceWord(QStringView w, bool withSdb)
{
    const char16_t *const p = w.utf16();
    const qsizetype n = w.size();
    bool found = false;
    const auto at = [&](qsizetype i) {
        switch (wordAt(w, i, withSdb)) {
        case Word::Date:
            return false;
        case Word::Source:
            found = true;
            break;
        case Word::None:
            break;
        }
        return true;
    };
    qsizetype i = 0;
#if defined(__SSE2__)
    const auto is = [](__m128i v, char16_t c) {
        return _mm_cmpeq_epi16(v, _mm_set1_epi16(short(c)));
    };
    for (; i + 9 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i + 1));
        __m128i pairs =
            _mm_and_si128(is(v, u's'), _mm_or_si128(_mm_or_si128(is(next, u'b'), is(next, u'd')),
                                                    _mm_or_si128(is(next, u'h'), is(next, u'o'))));
        pairs = _mm_or_si128(pairs, _mm_and_si128(is(v, u'a'), is(next, u'u')));
        pairs = _mm_or_si128(pairs, _mm_and_si128(is(v, u'd'), is(next, u'a')));
        pairs = _mm_or_si128(pairs, _mm_and_si128(is(v, u'l'), is(next, u'i')));
        pairs = _mm_or_si128(pairs, _mm_and_si128(is(v, u'c'), is(next, u'd')));
        pairs = _mm_or_si128(pairs, _mm_and_si128(is(v, u'g'), is(next, u'e')));
        for (unsigned mask = unsigned(_mm_movemask_epi8(pairs)); mask != 0;
             mask &= mask - 1, mask &= mask - 1) {
            if (!at(i + std::countr_zero(mask) / 2))
                return false;
        }
    }
#endif
    for (; i < n; ++i) {
        if (!at(i))
            return false;
    }
    return found;
}

// The rest of the line behind its keyword, trimmed, between the field's tags.
QString prefixElement(QStringView line, qsizetype keyword, QStringView open, QStringView close)
{
    return Joined({open, Trimmed(RestAfter(line, keyword)), close});
}

HeaderField found(QString element)
{
    return HeaderField{std::move(element), {}, true};
}

// The notes element from the collected notes text: the label's five characters dropped, every
// further "notes" in any letter case deleted (left to right, what a deletion joins is not looked
// at again), then every two blanks made one (likewise in one pass, so three become two). The two
// passes run as one over the text: the blanks are paired as the deletions leave them.
QString notesElement(const QString &text)
{
    static constexpr QStringView Open = u"<NOTES>";
    static constexpr QStringView Close = u"</NOTES>";
    const QStringView rest = RestAfter(text, 5);
    const QString lower = LowerCased(rest);
    QString out(Open.size() + rest.size() + Close.size(), Qt::Uninitialized);
    char16_t *const begin = reinterpret_cast<char16_t *>(out.data());
    char16_t *p = std::copy_n(Open.utf16(), Open.size(), begin);
    bool blankOpen = false; // the last blank kept has not been paired yet
    for (qsizetype i = 0; i < rest.size();) {
        if (lower[i] == u'n' && BeginsWith(QStringView(lower).sliced(i), u"notes")) {
            i += 5;
            continue;
        }
        const char16_t c = rest[i++].unicode();
        if (c == u' ') {
            blankOpen = !blankOpen;
            if (!blankOpen)
                continue; // the second of a pair
        } else {
            blankOpen = false;
        }
        *p++ = c;
    }
    p = std::copy_n(Close.utf16(), Close.size(), p);
    out.truncate(p - begin);
    return out;
}

// Stored lines hold no CR LF, but a lone CR or LF typed into a pane survives the cut.
void appendWithBlanksForLineBreaks(QString &text, QStringView line)
{
    const qsizetype from = text.size();
    text.append(line);
    char16_t *const p = reinterpret_cast<char16_t *>(text.data()) + from;
    ReplaceChar(p, line.size(), u'\r', u' ');
    ReplaceChar(p, line.size(), u'\n', u' ');
}

} // namespace

bool ShowFieldScan::feed(qsizetype n, QStringView lower)
{
    if (m_sourceOpen) {
        // The one line after the source line may continue it (a lineage line, say), appended
        // lower-cased.
        m_sourceOpen = false;
        const QStringView more = hasSourceWord(lower, false) ? lower : QStringView();
        m_sourceField = found(Joined({u"<SOURCE>", m_lines.line(m_source), more, u"</SOURCE>"}));
    }
    if (m_source == 0 && hasSourceWord(lower, true)) {
        m_source = n;
        m_sourceOpen = true;
    }
    if (n == 1)
        m_gratefulDead = Contains(lower, u"grateful dead");

    if (m_notes == Notes::Open)
        continueNotes(m_lines.line(n));
    if (lower.isEmpty())
        return true;
    // Each keyword is looked for only on lines that begin with its first letter.
    switch (lower[0].unicode()) {
    case u'b':
        if (m_band == 0 && BeginsWith(lower, u"band"))
            m_band = n;
        break;
    case u'v':
        if (m_venue == 0 && BeginsWith(lower, u"venue"))
            m_venue = n;
        break;
    case u'c':
        if (m_city == 0 && BeginsWith(lower, u"city"))
            m_city = n;
        break;
    case u's':
        if (m_state == 0 && BeginsWith(lower, u"state"))
            m_state = n;
        break;
    case u'n':
        if (m_notes == Notes::NotStarted && BeginsWith(lower, u"notes")) {
            m_notes = Notes::Open;
            appendWithBlanksForLineBreaks(m_notesText, m_lines.line(n));
        }
        break;
    default:
        break;
    }
    return !(m_source != 0 && !m_sourceOpen && m_band != 0 && m_venue != 0 && m_city != 0 &&
             m_state != 0 && m_notes == Notes::Ended);
}

// Once started, the notes take every line up to the first empty one, each followed by a blank.
void ShowFieldScan::continueNotes(QStringView line)
{
    if (line.isEmpty()) {
        m_notes = Notes::Ended;
        return;
    }
    appendWithBlanksForLineBreaks(m_notesText, line);
    m_notesText.append(u' ');
}

ShowFields ShowFieldScan::finish()
{
    ShowFields fields;
    if (m_sourceOpen) // the source line was the last line fed
        m_sourceField = found(Joined({u"<SOURCE>", m_lines.line(m_source), u"</SOURCE>"}));
    m_sourceOpen = false;
    fields.Source = std::move(m_sourceField);

    if (m_band != 0)
        fields.Band = found(prefixElement(m_lines.line(m_band), 4, u"<BAND>", u"</BAND>"));
    else if (m_gratefulDead)
        fields.Band = found(QStringLiteral("<BAND>Grateful Dead</BAND>"));
    else if (m_lines.count() > 0)
        fields.Band = found(Joined({u"<BAND>", m_lines.line(1), u"</BAND>"}));
    if (m_venue != 0)
        fields.Venue = found(prefixElement(m_lines.line(m_venue), 5, u"<VENUE>", u"</VENUE>"));
    if (m_city != 0)
        fields.City = found(prefixElement(m_lines.line(m_city), 4, u"<CITY>", u"</CITY>"));
    if (m_state != 0)
        fields.State = found(prefixElement(m_lines.line(m_state), 5, u"<STATE>", u"</STATE>"));
    if (m_notes != Notes::NotStarted)
        fields.Notes = found(notesElement(m_notesText));
    return fields;
}

ShowFields FindShowFields(const InfoLines &lines)
{
    ShowFieldScan scan(lines);
    UnitBuffer buffer;
    for (qsizetype n = 1; n <= lines.count() && scan.feed(n, lines.lower(n, buffer)); ++n) {
    }
    return scan.finish();
}

} // namespace tapewright
