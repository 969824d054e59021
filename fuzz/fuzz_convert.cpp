// The converter on any text: no crash, no hang, and a document of the right shape.
//
// The first input byte chooses how the rest is read: raw UTF-16 units, or text assembled from
// info-text-like pieces (keywords, disc headers, dates, track lines), which reaches deep paths
// much sooner than random characters do.
#include "convertinfotext.h"

#include <QLocale>
#include <QRegularExpression>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace tapewright;

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

QString fromPieces(const uint8_t *data, size_t size)
{
    static const std::array<const char16_t *, 40> pieces = {
        u"Band: ",        u"Date ",       u"Venue ",     u"City ",
        u"State ",        u"Source: SBD", u"Lineage: ",  u"Notes:",
        u"Disc 1",        u"Disc 2",      u"Disc III",   u"DISK #4",
        u"d100",          u"d3t01 ",      u"CD 2",       u"Set I",
        u"Encore:",       u"E: ",         u"filler",     u"total",
        u"May 8th, 1977", u"5/8/77",      u"1977-05-08", u"8 may 1977",
        u"aug. 8 77",     u"13/5/1977",   u"Sept",       u"01. Opener ",
        u"4:56",          u"(10:02)",     u"[7:15]",     u"1:02:33",
        u"grateful dead", u"\t",          u"  ",         u"\r\n",
        u"\r\n\r\n",      u"\r",          u"\n",         u"date",
    };
    QString text;
    for (size_t i = 0; i < size; ++i) {
        const uint8_t b = data[i];
        if (b < pieces.size() * 4)
            text += QString::fromUtf16(pieces[b % pieces.size()]);
        else
            text += QChar(b < 0xF0 ? char16_t(u'0' + b % 10) : char16_t(0xDF + b % 3)); // digits, ß
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const bool structured = data[0] & 1;
    QString text;
    if (structured)
        text = fromPieces(data + 1, size - 1);
    else
        text = QString::fromUtf16(reinterpret_cast<const char16_t *>(data + 1), (size - 1) / 2);

    static const std::array<QLocale, 3> locales = {
        QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::Japanese, QLocale::Japan),
    };
    ConvertOptions options;
    options.locale = locales[(data[0] >> 1) % locales.size()];

    const QString xml = ConvertInfoText(text, options);
    if (xml.isEmpty())
        return 0;
    check(xml.startsWith(u"<?xml version=\"1.0\"?>\r\n<CDR_Track_List>\r\n"));
    check(xml.endsWith(u"\r\n</CDR_Track_List>"));
    check(ConvertInfoText(text, options) == xml);

    // One element per line: every line opens and closes on itself.
    const QStringList lines = xml.split(u"\r\n"_qs);
    int discs = -1;
    std::array<int, 4> counted{};
    std::array<int, 4> written{};
    static const QRegularExpression discsLine(u"^<DISCS>(\\d+)</DISCS>$"_qs);
    static const QRegularExpression countLine(u"^<TRACKSD([1-4])>(\\d+)</TRACKSD\\1>$"_qs);
    static const QRegularExpression trackLine(u"^<D([1-4])T(\\d+)>"_qs);
    // Element texts may hold lone surrogates, which the regular expressions would otherwise
    // refuse as invalid UTF-16 and so never match.
    const auto unchecked = QRegularExpression::DontCheckSubjectStringMatchOption;
    for (const QString &line : lines) {
        check(!line.contains(u'\r') && !line.contains(u'\n'));
        if (auto m = discsLine.match(line, 0, QRegularExpression::NormalMatch, unchecked);
            m.hasMatch())
            discs = m.captured(1).toInt();
        else if (auto c = countLine.match(line, 0, QRegularExpression::NormalMatch, unchecked);
                 c.hasMatch())
            counted[c.captured(1).toInt() - 1] = c.captured(2).toInt();
        else if (auto t = trackLine.match(line, 0, QRegularExpression::NormalMatch, unchecked);
                 t.hasMatch() && !line.startsWith(u"<DISCS>"))
            ++written[t.captured(1).toInt() - 1];
    }
    check(discs >= 0 && discs <= 4);
    for (int d = 0; d < 4; ++d) {
        check(written[d] == qMin(counted[d], 50));
        check(d < discs || counted[d] == 0);
    }
    return 0;
}
