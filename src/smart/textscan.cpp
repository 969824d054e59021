#include "smart/textscan.h"

#include "smart/lexicon.h"

#include <QVarLengthArray>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tapewright::smart {

namespace {

bool isHex(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
}

inline bool isAlnum(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 128)
        return (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z');
    return c.isLetterOrNumber();
}

bool isListedExtension(QStringView ext, bool audioOnly)
{
    static constexpr std::u16string_view audio[] = {u"flac", u"shn",  u"wav",  u"wave", u"mp3",
                                                    u"ape",  u"wv",   u"m4a",  u"aac",  u"ogg",
                                                    u"aif",  u"aiff", u"alac", u"dsf",  u"dff"};
    static constexpr std::u16string_view other[] = {
        u"md5", u"ffp", u"st5",  u"sfv", u"sha1", u"sha256", u"cue", u"log", u"txt",
        u"nfo", u"jpg", u"jpeg", u"png", u"gif",  u"bmp",    u"pdf", u"tif", u"accurip"};
    const std::u16string_view e(ext.utf16(), size_t(ext.size()));
    for (const auto &a : audio) {
        if (e == a)
            return true;
    }
    if (audioOnly)
        return false;
    for (const auto &o : other) {
        if (e == o)
            return true;
    }
    return false;
}

// The extension's end of the first file name with a listed extension, and the position of its
// dot, or -1.
qsizetype fileNameDot(QStringView lower, bool audioOnly, qsizetype *extEnd)
{
    const qsizetype n = lower.size();
    for (qsizetype dot = 1; dot + 1 < n; ++dot) {
        if (lower[dot] != u'.')
            continue;
        const QChar before = lower[dot - 1];
        if (!(isAlnum(before) || before == u')' || before == u']' || before == u'_' ||
              before == u'-') ||
            !(lower[dot + 1] >= u'a' && lower[dot + 1] <= u'z')) // extensions begin with a letter
            continue;
        qsizetype e = dot + 1;
        while (e < n && e - dot <= 7 && isAlnum(lower[e]))
            ++e;
        if ((e < n && isAlnum(lower[e])) || e - dot < 3)
            continue;
        if (isListedExtension(lower.sliced(dot + 1, e - dot - 1), audioOnly)) {
            *extEnd = e;
            return dot;
        }
    }
    return -1;
}

// How many hex digits (lower case) begin p, at most n: eight at a time where the processor
// allows, for checksum listings hold thousands of them.
qsizetype hexRunFrom(const char16_t *p, qsizetype n)
{
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i zeroChar = _mm_set1_epi16(short(u'0'));
    const __m128i nine = _mm_set1_epi16(9);
    const __m128i aChar = _mm_set1_epi16(short(u'a'));
    const __m128i five = _mm_set1_epi16(5);
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        // c - '0' <= 9 or c - 'a' <= 5, unsigned: what lies below wraps round to a large value.
        const __m128i digit =
            _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(v, zeroChar), nine), zero);
        const __m128i letter = _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(v, aChar), five), zero);
        if (_mm_movemask_epi8(_mm_or_si128(digit, letter)) != 0xFFFF)
            break;
    }
#endif
    while (i < n && isHex(p[i]))
        ++i;
    return i;
}

// How many hex digits end p[0, end).
qsizetype hexRunBefore(const char16_t *p, qsizetype end)
{
    qsizetype i = end;
    while (i > 0 && isHex(p[i - 1]))
        --i;
    return end - i;
}

// The length of the run of hex digits at i that stands as a token of its own.
qsizetype hexTokenAt(QStringView lower, qsizetype i)
{
    if (i > 0 && isAlnum(lower[i - 1]))
        return 0;
    qsizetype e = i;
    while (e < lower.size() && isHex(lower[e].unicode()))
        ++e;
    if (e < lower.size() && isAlnum(lower[e]))
        return 0;
    return e - i;
}

void lowerWord(QStringView word, QVarLengthArray<char16_t, 32> &out)
{
    out.resize(word.size());
    for (qsizetype i = 0; i < word.size(); ++i) {
        const char16_t c = word[i].unicode();
        out[i] = c < 0x80 ? char16_t(c >= u'A' && c <= u'Z' ? c + 32 : c) : QChar::toLower(c);
    }
}

} // namespace

QString CollapsedBlanks(QStringView s)
{
    bool plain = s.isEmpty() || (s.front() != u' ' && s.back() != u' ');
    for (qsizetype i = 1; plain && i < s.size(); ++i)
        plain = !(s[i] == u' ' && s[i - 1] == u' ');
    if (plain)
        return s.toString();
    QString out(s.size(), Qt::Uninitialized);
    char16_t *o = reinterpret_cast<char16_t *>(out.data());
    qsizetype n = 0;
    bool blank = true; // drops leading blanks
    for (const QChar c : s) {
        if (c == u' ') {
            blank = true;
            continue;
        }
        if (blank && n > 0)
            o[n++] = u' ';
        blank = false;
        o[n++] = c.unicode();
    }
    out.resize(n);
    return out;
}

WordCounts CountWords(QStringView s)
{
    WordCounts counts;
    int depth = 0;
    qsizetype i = 0;
    const qsizetype n = s.size();
    QVarLengthArray<char16_t, 32> lower;
    while (i < n) {
        const QChar c = s[i];
        if (c == u'(' || c == u'[') {
            ++depth;
            ++i;
            continue;
        }
        if ((c == u')' || c == u']') && depth > 0) {
            --depth;
            ++i;
            continue;
        }
        if (c == u' ' || depth > 0) {
            ++i;
            continue;
        }
        qsizetype e = i;
        while (e < n && s[e] != u' ' && s[e] != u'(' && s[e] != u'[')
            ++e;
        const QStringView word = s.sliced(i, e - i);
        i = e;
        qsizetype letter = 0;
        while (letter < word.size() && !word[letter].isLetterOrNumber())
            ++letter;
        if (letter == word.size())
            continue;
        ++counts.words;
        const QChar first = word[letter];
        if (!first.isLower())
            continue;
        ++counts.lower;
        qsizetype end = word.size();
        while (end > letter && !word[end - 1].isLetterOrNumber())
            --end;
        if (end - letter > 4) { // no word titles write small is longer: "with", "from"
            ++counts.small;
            continue;
        }
        lowerWord(word.sliced(letter, end - letter), lower);
        if (!IsConnectorWord(QStringView(lower.data(), lower.size())))
            ++counts.small;
    }
    return counts;
}

bool IsProse(QStringView s)
{
    const WordCounts w = CountWords(s);
    const QChar last = s.isEmpty() ? QChar() : s.back();
    if (w.words >= 14)
        return true;
    if ((last == u'.' || last == u'!') && w.words >= 4 && w.lower >= 1)
        return true;
    return w.words >= 5 && w.lower * 5 >= w.words * 3;
}

bool IsTitleLike(QStringView s)
{
    if (s.isEmpty() || s.back() == u':' || s.back() == u'!')
        return false;
    const WordCounts w = CountWords(s);
    return w.words >= 1 && w.words <= 10 && w.small == 0;
}

qsizetype TimeEndAt(QStringView s, qsizetype pos)
{
    const qsizetype n = s.size();
    qsizetype i = pos;
    while (i < n && i - pos < 3 && IsAsciiDigit(s[i]))
        ++i;
    if (i == pos || i >= n || s[i] != u':')
        return -1;
    const auto twoDigits = [&](qsizetype at) {
        return at + 1 < n && IsAsciiDigit(s[at]) && IsAsciiDigit(s[at + 1]) &&
               (at + 2 >= n || !IsAsciiDigit(s[at + 2]));
    };
    if (!twoDigits(i + 1))
        return -1;
    i += 3;
    if (i < n && s[i] == u':' && twoDigits(i + 1))
        i += 3;
    if (i + 1 < n && s[i] == u'.' && IsAsciiDigit(s[i + 1])) {
        i += 2;
        if (i < n && IsAsciiDigit(s[i]))
            ++i;
    }
    return i;
}

std::optional<TrailingTime> FindTrailingTime(QStringView s)
{
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == u' ')
        --n;
    if (n == 0)
        return std::nullopt;
    const QChar close = s[n - 1];
    if (close == u')' || close == u']' || close == u'}') {
        const char16_t open = close == u')' ? u'(' : close == u']' ? u'[' : u'{';
        const qsizetype o = LastChar(s.first(n), open);
        if (o < 0)
            return std::nullopt;
        QStringView inner = s.sliced(o + 1, n - o - 2).trimmed();
        if (TimeEndAt(inner, 0) == inner.size())
            return TrailingTime{o, inner};
        // "(0.28)": minutes and seconds with a dot, only ever seen in brackets.
        const qsizetype dot = inner.indexOf(u'.');
        if (dot >= 1 && dot <= 2 && inner.size() == dot + 3 && IsAsciiDigit(inner[0]) &&
            IsAsciiDigit(inner[dot - 1]) && IsAsciiDigit(inner[dot + 1]) &&
            IsAsciiDigit(inner[dot + 2]))
            return TrailingTime{o, inner};
        return std::nullopt;
    }
    if (!IsAsciiDigit(close))
        return std::nullopt;
    qsizetype k = n;
    while (k > 0 && (IsAsciiDigit(s[k - 1]) || s[k - 1] == u':' || s[k - 1] == u'.'))
        --k;
    while (k < n && !IsAsciiDigit(s[k]))
        ++k;
    if (TimeEndAt(s, k) != n)
        return std::nullopt;
    if (k > 0 && !(s[k - 1] == u' ' || s[k - 1] == u')' || s[k - 1] == u']'))
        return std::nullopt;
    return TrailingTime{k, s.sliced(k, n - k)};
}

bool IsListingLine(QStringView s, QStringView lower)
{
    if (s.isEmpty())
        return false;
    // "1. Song", "12) Song": a numbered track, no file name.
    qsizetype digits = 0;
    while (digits < s.size() && digits < 3 && IsAsciiDigit(s[digits]))
        ++digits;
    if (digits > 0 && digits + 1 < s.size() && (s[digits] == u'.' || s[digits] == u')') &&
        s[digits + 1] == u' ')
        return false;
    if (s[0] == u';')
        return true;
    if (s[0] == u'#' &&
        (lower.contains(u"md5") || lower.contains(u"checksum") || lower.contains(u"ffp") ||
         lower.contains(u"fingerprint") || lower.contains(u"sha1")))
        return true;
    // A checksum is a run of 32 or more hex digits: every run that long covers one of every 16
    // positions, so only those are looked at, and the run is measured from there.
    const char16_t *c = lower.utf16();
    const qsizetype n = lower.size();
    for (qsizetype probe = 15; probe < n; probe += 16) {
        if (!isHex(c[probe]))
            continue;
        const qsizetype a = probe - hexRunBefore(c, probe);
        const qsizetype b = probe + hexRunFrom(c + probe, n - probe);
        if (b - a >= 32 && (a == 0 || !isAlnum(QChar(c[a - 1]))) &&
            (b == n || !isAlnum(QChar(c[b]))))
            return true;
        probe = b; // the next probe lies behind this run
    }
    if (EndsWith(lower, u" files)")) // shntool's total, "(86 files)"
        return true;
    qsizetype extEnd = 0;
    return FindChar(lower, 0, u'.') >= 0 && fileNameDot(lower, false, &extEnd) >= 0;
}

bool IsUrlLine(QStringView lower)
{
    if (lower.isEmpty() || (lower[0] != u'h' && lower[0] != u'w' && lower[0] != u'f'))
        return false;
    return BeginsWith(lower, u"http://") || BeginsWith(lower, u"https://") ||
           BeginsWith(lower, u"www.") || BeginsWith(lower, u"ftp://");
}

QStringView AudioFileName(QStringView s, QStringView lower)
{
    qsizetype extEnd = 0;
    const qsizetype dot = fileNameDot(lower, true, &extEnd);
    if (dot < 0)
        return {};
    // The name starts behind a leading checksum ("hash *name", "hash  name"), else at the line's
    // start when a fingerprint follows it ("name.flac:hash"), else behind the last blank.
    qsizetype start = 0;
    const qsizetype hash = hexTokenAt(lower, 0);
    if (hash >= 32) {
        start = hash;
        while (start < dot && (s[start] == u' ' || s[start] == u'*'))
            ++start;
    } else if (!(extEnd < s.size() && s[extEnd] == u':')) {
        start = s.first(dot).lastIndexOf(u' ') + 1;
    }
    return s.sliced(start, extEnd - start);
}

} // namespace tapewright::smart
