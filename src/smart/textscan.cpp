#include "textscan.h"

#include "collectorterms.h"

#include <QVarLengthArray>

namespace tapewright::smart {

namespace {

bool isHex(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
}

bool isAlnum(QChar c)
{
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
              before == u'-'))
            continue;
        qsizetype e = dot + 1;
        while (e < n && e - dot <= 7 && isAlnum(lower[e]))
            ++e;
        if (e < n && isAlnum(lower[e]))
            continue;
        if (isListedExtension(lower.sliced(dot + 1, e - dot - 1), audioOnly)) {
            *extEnd = e;
            return dot;
        }
    }
    return -1;
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
    out.clear();
    for (QChar c : word)
        out.append(QChar::toLower(c.unicode()));
}

} // namespace

QString CollapsedBlanks(QStringView s)
{
    QString out;
    out.reserve(s.size());
    bool blank = true; // drops leading blanks
    for (QChar c : s) {
        if (c == u' ') {
            blank = true;
            continue;
        }
        if (blank && !out.isEmpty())
            out.append(u' ');
        blank = false;
        out.append(c);
    }
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
        const qsizetype o = s.first(n).lastIndexOf(QChar(open));
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
    if (s[0] == u';')
        return true;
    if (s[0] == u'#' &&
        (lower.contains(u"md5") || lower.contains(u"checksum") || lower.contains(u"ffp") ||
         lower.contains(u"fingerprint") || lower.contains(u"sha1")))
        return true;
    if (lower.contains(u"[shntool]") || lower.contains(u" files)"))
        return true;
    for (qsizetype i = 0; i < lower.size(); ++i) {
        if (!isHex(lower[i].unicode()))
            continue;
        const qsizetype run = hexTokenAt(lower, i);
        if (run >= 32)
            return true;
        while (i + 1 < lower.size() && isAlnum(lower[i + 1]))
            ++i;
    }
    qsizetype extEnd = 0;
    return fileNameDot(lower, false, &extEnd) >= 0;
}

bool IsUrlLine(QStringView lower)
{
    return lower.startsWith(u"http://") || lower.startsWith(u"https://") ||
           lower.startsWith(u"www.") || lower.startsWith(u"ftp://");
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

std::optional<FoundDate> FindDateIn(QStringView s, QStringView lower, const DateLocale &locale)
{
    Q_UNUSED(s);
    bool digit = false;
    for (QChar c : lower) {
        if (IsAsciiDigit(c)) {
            digit = true;
            break;
        }
    }
    if (!digit)
        return std::nullopt;
    // "July 10th 1986", "2. Mai 1981": the ordinal's suffix or dot becomes a blank, so
    // positions stay those of the text.
    QString t = lower.toString();
    for (qsizetype i = 0; i + 2 < t.size(); ++i) {
        if (!IsAsciiDigit(t[i]))
            continue;
        if (t[i + 1] == u'.' && t[i + 2] == u' ') {
            qsizetype first = i;
            while (first > 0 && IsAsciiDigit(t[first - 1]))
                --first;
            if (i - first < 2) // a day, one or two digits
                t[i + 1] = u' ';
            continue;
        }
        const QStringView suffix = QStringView(t).sliced(i + 1, 2);
        if ((suffix == u"st" || suffix == u"nd" || suffix == u"rd" || suffix == u"th") &&
            (i + 3 >= t.size() || !t[i + 3].isLetter())) {
            t[i + 1] = u' ';
            t[i + 2] = u' ';
        }
    }
    const std::optional<DateInside> found = FindDateInside(t, locale, 6);
    if (!found)
        return std::nullopt;
    qsizetype start = found->start;
    qsizetype end = found->end;
    while (start < end && t[start] == u' ')
        ++start;
    while (end > start && t[end - 1] == u' ')
        --end;
    // The blanked suffix of the last number belongs to the date as written.
    if (end + 2 <= s.size() && s[end].isLetter() && end >= 1 && IsAsciiDigit(s[end - 1]))
        end += 2;
    return FoundDate{found->date, start, end};
}

std::optional<FoundDate> WholeDate(QStringView s, QStringView lower, const DateLocale &locale)
{
    if (s.size() > 48)
        return std::nullopt;
    const std::optional<FoundDate> d = FindDateIn(s, lower, locale);
    if (!d)
        return std::nullopt;
    const auto onlyWeekdays = [&](QStringView part) {
        qsizetype i = 0;
        while (i < part.size()) {
            if (!part[i].isLetterOrNumber()) {
                ++i;
                continue;
            }
            qsizetype e = i;
            while (e < part.size() && part[e].isLetter())
                ++e;
            if (e == i || !IsWeekdayWord(part.sliced(i, e - i)))
                return false;
            i = e;
        }
        return true;
    };
    if (!onlyWeekdays(lower.first(d->start)) || !onlyWeekdays(lower.sliced(d->end)))
        return std::nullopt;
    return d;
}

bool IsPartialDate(QStringView lower)
{
    int digits = 0;
    bool separator = false;
    for (QChar c : lower) {
        if (IsAsciiDigit(c))
            ++digits;
        else if (c == u'/' || c == u'-' || c == u'.')
            separator = true;
        else if (c != u'x' && c != u'?' && c != u' ')
            return false;
    }
    if (digits == 4 && !separator)
        return lower.trimmed().size() == 4; // a year alone
    return digits >= 2 && separator;
}

} // namespace tapewright::smart
