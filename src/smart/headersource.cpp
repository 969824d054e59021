#include "smart/headersource.h"

#include "convert/textterms.h"
#include "smart/textscan.h"

#include <QStringList>

#include <string_view>

namespace tapewright::smart {

namespace {

// Joins a line that ends in an arrow, or a keyword with nothing behind it, with the next;
// *next is the line joined, -1 when none.
QString withContinuation(const InfoText &t, qsizetype i, QString piece, qsizetype *next)
{
    *next = -1;
    const bool open = piece.endsWith(u'>') || t.value(i).isEmpty();
    if (!open)
        return piece;
    for (qsizetype k = i + 1; k < t.count(); ++k) {
        if (t.kind(k) == LineKind::Blank)
            continue;
        if (t.isContent(k) && t.kind(k) != LineKind::Items && t.kind(k) != LineKind::Field) {
            piece += u' ' + t.line(k).toString();
            *next = k;
        }
        break;
    }
    return piece;
}

// "LB-6124, (62min+47min), Taper: ..., Source: A > B, Transfer: C > D, Notes:, ...": in a
// line of comma-joined keyword fields, the source fields alone.
QString sourceFieldsOf(QStringView s)
{
    static constexpr std::u16string_view keys[] = {u"source:", u"lineage:", u"transfer:",
                                                   u"genealogy:", u"recording:"};
    const auto sourceKeyAt = [&](QStringView segment) {
        for (const auto &k : keys) {
            if (segment.startsWith(QStringView(k.data(), qsizetype(k.size())), Qt::CaseInsensitive))
                return true;
        }
        return false;
    };
    const auto keyAt = [](QStringView segment) {
        const qsizetype colon = segment.indexOf(u':');
        if (colon <= 0 || colon > 24)
            return false;
        for (QChar c : segment.first(colon)) {
            if (!(c.isLetter() || c == u' '))
                return false;
        }
        return true;
    };
    qsizetype from = -1;
    qsizetype to = s.size();
    qsizetype at = 0;
    while (at < s.size()) {
        const QStringView segment = s.sliced(at);
        if (from < 0 && sourceKeyAt(segment))
            from = at;
        else if (from >= 0 && keyAt(segment) && !sourceKeyAt(segment)) {
            to = at;
            break;
        }
        const qsizetype comma = s.indexOf(u", ", at);
        if (comma < 0)
            break;
        at = comma + 2;
    }
    if (from < 0)
        return s.toString();
    QStringView piece = s.sliced(from, to - from).trimmed();
    while (piece.endsWith(u','))
        piece.chop(1);
    return piece.toString();
}

} // namespace

QString ReadSource(const InfoText &t)
{
    QStringList pieces;
    const auto add = [&](const QString &piece) {
        if (!piece.isEmpty() && !pieces.contains(piece))
            pieces.append(piece);
    };
    qsizetype joined = -1; // the line a piece took in as its continuation
    for (qsizetype i = 0; i < t.count(); ++i) {
        const LineKind k = t.kind(i);
        if (i == joined)
            continue;
        if (k == LineKind::Field && t.at(i).key == FieldKey::Source) {
            add(withContinuation(t, i, t.line(i).toString(), &joined));
        } else if (k == LineKind::Source) {
            add(withContinuation(t, i, sourceFieldsOf(t.line(i)), &joined));
        } else if (k == LineKind::Field && t.at(i).key == FieldKey::Other &&
                   IsSourceLine(t.lowerValue(i))) {
            add(t.line(i).toString()); // "Quality : audience recording"
        } else if (k == LineKind::Items) {
            const TrackItem &first = t.item(i, 0);
            if (first.kind == TrackItem::Kind::Disc && !first.title.isEmpty() &&
                IsSourceLine(LowerCased(first.title)))
                add(first.title); // "CD1 (sbd cassette master > dats > cdrs)"
        }
    }
    return pieces.join(QStringLiteral(" | "));
}

QString ReadNotes(const InfoText &t)
{
    for (qsizetype i = 0; i < t.count(); ++i) {
        if (t.kind(i) != LineKind::Field || t.at(i).key != FieldKey::Notes)
            continue;
        QStringList parts;
        if (!t.value(i).isEmpty())
            parts.append(t.value(i).toString());
        qsizetype k = i + 1;
        if (parts.isEmpty()) {
            while (k < t.count() && t.kind(k) == LineKind::Blank)
                ++k;
        }
        for (; k < t.count() && t.isContent(k); ++k)
            parts.append(t.line(k).toString());
        return CollapsedBlanks(parts.join(u' '));
    }
    return {};
}

} // namespace tapewright::smart
