#include "textfile.h"

#include "regularfile.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>
#include <optional>

namespace tapewright {

namespace {

// Windows-1252 for 0x80..0x9F. The five bytes the code page leaves undefined keep their C1
// control code point, as Windows' own conversion does.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeCp1252(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *dst++ = (b >= 0x80 && b < 0xA0) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
    }
    return out;
}

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

// Every line end (CR LF, lone CR, lone LF) becomes CR LF, and a last line without one gets it.
QString normaliseLineEnds(const QString &in)
{
    QString out;
    out.reserve(in.size() + in.size() / 32 + 2);
    const QChar *p = in.constData();
    const QChar *end = p + in.size();
    const QChar *lineStart = p;
    while (p < end) {
        const char16_t c = p->unicode();
        if (c == u'\r' || c == u'\n') {
            out.append(lineStart, p - lineStart);
            out.append(u"\r\n");
            if (c == u'\r' && p + 1 < end && p[1] == u'\n')
                ++p;
            ++p;
            lineStart = p;
        } else {
            ++p;
        }
    }
    if (lineStart < end) {
        out.append(lineStart, end - lineStart);
        out.append(u"\r\n");
    }
    return out;
}

} // namespace

DecodedText DecodeTextFile(const QByteArray &bytes)
{
    DecodedText r;
    QString decoded;
    const QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF")) {
        r.encoding = TextEncoding::Utf8Bom;
        // Invalid sequences after a UTF-8 mark become U+FFFD: the mark says what the file is.
        decodeStrict(view.sliced(3), QStringConverter::Utf8, &decoded);
    } else if (view.startsWith("\xFF\xFE")) {
        r.encoding = TextEncoding::Utf16LE;
        decodeStrict(view.sliced(2), QStringConverter::Utf16LE, &decoded);
    } else if (view.startsWith("\xFE\xFF")) {
        r.encoding = TextEncoding::Utf16BE;
        decodeStrict(view.sliced(2), QStringConverter::Utf16BE, &decoded);
    } else if (const std::optional<TextEncoding> utf16 = utf16WithoutBom(view)) {
        r.encoding = *utf16;
        decodeStrict(view,
                     *utf16 == TextEncoding::Utf16LENoBom ? QStringConverter::Utf16LE
                                                          : QStringConverter::Utf16BE,
                     &decoded);
    } else if (decodeStrict(view, QStringConverter::Utf8, &decoded)) {
        r.encoding = TextEncoding::Utf8;
    } else {
        r.encoding = TextEncoding::Windows1252;
        decoded = decodeCp1252(view);
    }
    r.text = normaliseLineEnds(decoded);
    return r;
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
