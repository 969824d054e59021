#include "common/textfile.h"

#include "common/regularfile.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>
#include <bit>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tapewright {

namespace {

// Windows-1252 for 0x80..0x9F. The five bytes the code page leaves undefined keep their C1
// control code point, as Windows' own conversion does.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool encodeCp1252(const QString &text, QByteArray *out)
{
    out->resize(text.size());
    char *dst = out->data();
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            *dst++ = static_cast<char>(u);
            continue;
        }
        int found = -1;
        for (int i = 0; i < 32; ++i) {
            if (kCp1252High[i] == u) {
                found = i;
                break;
            }
        }
        if (found < 0)
            return false;
        *dst++ = static_cast<char>(0x80 + found);
    }
    return true;
}

bool decodeStrict(QByteArrayView bytes, QStringConverter::Encoding enc, QString *out)
{
    // The caller has already taken off the byte-order mark; a second one is content.
    QStringDecoder decoder(enc, QStringConverter::Flag::Stateless |
                                    QStringConverter::Flag::ConvertInitialBom);
    *out = decoder.decode(bytes);
    return !decoder.hasError();
}

// The decoded text, written where it is decoded, with every line end (CR LF, lone CR, lone LF)
// made CR LF and one added after a last line without its own. It has room for the worst case,
// every unit a lone line end, and is cut to its length at the end.
class LineEnds
{
public:
    explicit LineEnds(qsizetype units)
        : m_text(2 * units + 2, Qt::Uninitialized),
          m_begin(reinterpret_cast<char16_t *>(m_text.data())), m_p(m_begin)
    {
    }

    char16_t *&p() { return m_p; }

    void lineEnd()
    {
        m_p[0] = u'\r';
        m_p[1] = u'\n';
        m_p += 2;
    }

    QString finish(bool endsWithLineEnd)
    {
        if (m_p != m_begin && !endsWithLineEnd)
            lineEnd();
        m_text.truncate(m_p - m_begin);
        return std::move(m_text);
    }

private:
    QString m_text;
    char16_t *m_begin;
    char16_t *m_p;
};

// Decodes bytes in one pass: ASCII as it is, line ends as above, anything from 0x80 on through
// `other`, which writes the units of what begins at s and returns how many bytes it took. Runs
// of sixteen ASCII bytes without a line end, nearly the whole of most info texts, are widened at
// once.
template <class Other> QString decodeLines(QByteArrayView bytes, Other &other)
{
    const auto *s = reinterpret_cast<const uchar *>(bytes.data());
    const uchar *const end = s + bytes.size();
    LineEnds out(bytes.size());
    char16_t *&d = out.p();
    while (s < end) {
#if defined(__SSE2__)
        const __m128i cr = _mm_set1_epi8('\r');
        const __m128i lf = _mm_set1_epi8('\n');
        const __m128i zero = _mm_setzero_si128();
        while (end - s >= 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s));
            // Always room: the text has two units for every byte still to come.
            _mm_storeu_si128(reinterpret_cast<__m128i *>(d), _mm_unpacklo_epi8(v, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(d + 8), _mm_unpackhi_epi8(v, zero));
            const unsigned special =
                unsigned(_mm_movemask_epi8(v)) |
                unsigned(
                    _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf))));
            if (special == 0) {
                s += 16;
                d += 16;
                continue;
            }
            const int plain = std::countr_zero(special);
            s += plain;
            d += plain;
            break;
        }
        if (s == end)
            break;
#endif
        const uchar c = *s;
        if (c == '\r') {
            out.lineEnd();
            s += s + 1 < end && s[1] == '\n' ? 2 : 1;
        } else if (c == '\n') {
            out.lineEnd();
            ++s;
        } else if (c < 0x80) {
            *d++ = c;
            ++s;
        } else {
            s += other(s, end, d);
        }
    }
    const bool endsWithLineEnd = !bytes.isEmpty() && (bytes.back() == '\r' || bytes.back() == '\n');
    return out.finish(endsWithLineEnd);
}

// One UTF-8 sequence from s on, written as one or two UTF-16 units; 0 when it is not valid
// UTF-8 (a stray continuation byte, an overlong form, a surrogate, past U+10FFFF, cut short).
qsizetype utf8Sequence(const uchar *s, const uchar *end, char16_t *&d)
{
    const uchar c = s[0];
    const auto continuation = [&](qsizetype i, uchar low, uchar high) {
        return s + i < end && s[i] >= low && s[i] <= high;
    };
    if (c >= 0xC2 && c <= 0xDF) {
        if (!continuation(1, 0x80, 0xBF))
            return 0;
        *d++ = char16_t(((c & 0x1F) << 6) | (s[1] & 0x3F));
        return 2;
    }
    if (c >= 0xE0 && c <= 0xEF) {
        const uchar low = c == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        const uchar high = c == 0xED ? 0x9F : 0xBF; // no surrogates
        if (!continuation(1, low, high) || !continuation(2, 0x80, 0xBF))
            return 0;
        *d++ = char16_t(((c & 0x0F) << 12) | ((s[1] & 0x3F) << 6) | (s[2] & 0x3F));
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const uchar low = c == 0xF0 ? 0x90 : 0x80;  // no overlong forms
        const uchar high = c == 0xF4 ? 0x8F : 0xBF; // nothing past U+10FFFF
        if (!continuation(1, low, high) || !continuation(2, 0x80, 0xBF) ||
            !continuation(3, 0x80, 0xBF))
            return 0;
        const char32_t u = (char32_t(c & 0x07) << 18) | (char32_t(s[1] & 0x3F) << 12) |
                           (char32_t(s[2] & 0x3F) << 6) | char32_t(s[3] & 0x3F);
        *d++ = QChar::highSurrogate(u);
        *d++ = QChar::lowSurrogate(u);
        return 4;
    }
    return 0;
}

// What begins at s (a byte from 0x80 on): a UTF-8 sequence when it is one, else one byte of
// Windows-1252. Which of the two it met is noted.
struct Utf8OrCp1252
{
    bool utf8 = false;   // a sequence of two bytes or more
    bool cp1252 = false; // a byte that is no part of one

    qsizetype operator()(const uchar *s, const uchar *end, char16_t *&d)
    {
        if (const qsizetype taken = utf8Sequence(s, end, d)) {
            utf8 = true;
            return taken;
        }
        cp1252 = true;
        const uchar b = *s;
        *d++ = b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b);
        return 1;
    }
};

// A text already decoded, its line ends made CR LF: UTF-16.
QString withCrLf(QStringView decoded)
{
    LineEnds out(decoded.size());
    char16_t *&d = out.p();
    const char16_t *s = decoded.utf16();
    const char16_t *const end = s + decoded.size();
    while (s < end) {
        const char16_t c = *s++;
        if (c == u'\r') {
            out.lineEnd();
            if (s < end && *s == u'\n')
                ++s;
        } else if (c == u'\n') {
            out.lineEnd();
        } else {
            *d++ = c;
        }
    }
    return out.finish(!decoded.isEmpty() && (decoded.back() == u'\r' || decoded.back() == u'\n'));
}

// UTF-16 without a byte-order mark, as some Windows tools write it: text of the Latin letters
// has a NUL in every other byte, on one side, which no 8-bit text has. The first few kilobytes
// decide. Nothing for other bytes.
std::optional<TextEncoding> utf16WithoutBom(QByteArrayView bytes)
{
    const qsizetype pairs = std::min<qsizetype>(bytes.size(), 4096) / 2;
    qsizetype lowNuls = 0; // the first byte of a pair: big-endian text of the Latin range
    qsizetype highNuls = 0;
    for (qsizetype i = 0; i < pairs; ++i) {
        lowNuls += bytes[2 * i] == 0;
        highNuls += bytes[2 * i + 1] == 0;
    }
    // Three pairs in four, and hardly any NUL on the other side.
    const auto oneSided = [pairs](qsizetype side, qsizetype other) {
        return pairs > 0 && side * 4 >= pairs * 3 && other * 8 <= side;
    };
    if (oneSided(highNuls, lowNuls))
        return TextEncoding::Utf16LENoBom;
    if (oneSided(lowNuls, highNuls))
        return TextEncoding::Utf16BENoBom;
    return std::nullopt;
}

// UTF-16 bytes, a byte-order mark taken off. A last byte without its pair is damage: U+FFFD stands
// for it, and the text before it is read as it is.
QString decodeUtf16(QByteArrayView bytes, bool littleEndian)
{
    QString decoded;
    decodeStrict(bytes.first(bytes.size() & ~qsizetype(1)),
                 littleEndian ? QStringConverter::Utf16LE : QStringConverter::Utf16BE, &decoded);
    if (bytes.size() % 2 != 0)
        decoded += QChar::ReplacementCharacter;
    return withCrLf(decoded);
}

} // namespace

DecodedText DecodeTextFile(const QByteArray &bytes)
{
    DecodedText r;
    QByteArrayView view(bytes);
    if (view.startsWith("\xFF\xFE") || view.startsWith("\xFE\xFF")) {
        const bool little = view[0] == '\xFF';
        r.encoding = little ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
        r.text = decodeUtf16(view.sliced(2), little);
        return r;
    }
    if (const std::optional<TextEncoding> utf16 = utf16WithoutBom(view)) {
        r.encoding = *utf16;
        r.text = decodeUtf16(view, *utf16 == TextEncoding::Utf16LENoBom);
        return r;
    }
    const bool bom = view.startsWith("\xEF\xBB\xBF");
    if (bom)
        view = view.sliced(3);
    Utf8OrCp1252 other;
    r.text = decodeLines(view, other);
    r.encoding = bom                           ? TextEncoding::Utf8Bom
                 : other.cp1252 && !other.utf8 ? TextEncoding::Windows1252
                                               : TextEncoding::Utf8;
    return r;
}

QString DecodeUtf8OrWindows1252(QByteArrayView bytes, TextEncoding *encoding)
{
    QString text(bytes.size(), Qt::Uninitialized); // never more units than bytes
    char16_t *const begin = reinterpret_cast<char16_t *>(text.data());
    char16_t *d = begin;
    const auto *s = reinterpret_cast<const uchar *>(bytes.data());
    const uchar *const end = s + bytes.size();
    Utf8OrCp1252 other;
    while (s < end)
        s += *s < 0x80 ? (*d++ = *s, 1) : other(s, end, d);
    text.truncate(d - begin);
    if (encoding)
        *encoding = other.cp1252 && !other.utf8 ? TextEncoding::Windows1252 : TextEncoding::Utf8;
    return text;
}

Result<DecodedText> ReadTextFile(const QString &fileName)
{
    QFile file(fileName);
    if (const Result<void> opened = OpenRegularFile(file); !opened)
        return Failure{
            QStringLiteral("Cannot read %1: %2.").arg(QuotedPath(fileName), opened.error())};
    // Read at most one byte past the limit, so a huge file (or an endless device) costs nothing.
    const QByteArray bytes = ReadAtMost(file, MaxTextFileSize);
    if (file.error() != QFileDevice::NoError)
        return Failure{
            QStringLiteral("Cannot read %1: %2.").arg(QuotedPath(fileName), file.errorString())};
    if (bytes.size() > MaxTextFileSize)
        return Failure{QStringLiteral("%1 is larger than 16 MiB. That is too large for an info "
                                      "text; please choose the show's .txt or .nfo file.")
                           .arg(QuotedPath(fileName))};
    return DecodeTextFile(bytes);
}

QByteArray ReadAtMost(QIODevice &device, qint64 limit)
{
    // A file is asked for its size and one byte more (to see whether it grew); a pipe or
    // terminal in pieces of a megabyte.
    const bool sized = !device.isSequential();
    qint64 piece = sized ? qMax<qint64>(device.size() - device.pos(), 0) + 1 : 1024 * 1024;
    QByteArray bytes;
    for (;;) {
        const qsizetype at = bytes.size();
        const qint64 want = qMin(piece, limit + 1 - at);
        if (want <= 0)
            break;
        bytes.resize(at + want);
        const qint64 got = device.read(bytes.data() + at, want);
        bytes.resize(at + qMax<qint64>(got, 0));
        if (got <= 0 || (sized && got < want))
            break;
        piece = 1024 * 1024;
    }
    return bytes;
}

QByteArray Utf8Bytes(QStringView text)
{
    QStringEncoder encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

Result<QByteArray> EncodeText(const QString &text, TextEncoding encoding)
{
    auto encodeWith = [&](QStringConverter::Encoding enc,
                          QByteArrayView bom) -> Result<QByteArray> {
        QStringEncoder encoder(enc, QStringConverter::Flag::Stateless);
        QByteArray body = encoder.encode(text);
        if (encoder.hasError())
            return Failure{QStringLiteral("the text holds characters this encoding cannot hold")};
        return bom.toByteArray() + body;
    };
    switch (encoding) {
    case TextEncoding::Utf8:
        return encodeWith(QStringConverter::Utf8, {});
    case TextEncoding::Utf8Bom:
        return encodeWith(QStringConverter::Utf8, "\xEF\xBB\xBF");
    case TextEncoding::Utf16LE:
        return encodeWith(QStringConverter::Utf16LE, "\xFF\xFE");
    case TextEncoding::Utf16BE:
        return encodeWith(QStringConverter::Utf16BE, "\xFE\xFF");
    case TextEncoding::Utf16LENoBom:
        return encodeWith(QStringConverter::Utf16LE, {});
    case TextEncoding::Utf16BENoBom:
        return encodeWith(QStringConverter::Utf16BE, {});
    case TextEncoding::Windows1252:
        break;
    }
    QByteArray out;
    if (!encodeCp1252(text, &out))
        return Failure{QStringLiteral("the text holds characters Windows-1252 cannot hold")};
    return out;
}

} // namespace tapewright
