#include "tracklistwriter.h"

namespace tapewright {

namespace {

void appendLine(QString &out, QStringView line)
{
    out.append(line);
    out.append(u"\r\n");
}

void appendIfFound(QString &out, const QString &element)
{
    if (!element.isEmpty())
        appendLine(out, element);
}

} // namespace

QString WriteTrackList(const ShowFields &fields, const DiscSet &discs)
{
    QString out;
    qsizetype estimate = 256;
    for (const auto &list : discs.Tracks)
        estimate += qMin<qsizetype>(list.size(), MaxWrittenTracksPerDisc) * 80;
    out.reserve(estimate + fields.Notes.Element.size() + fields.Source.Element.size());

    appendLine(out, u"<?xml version=\"1.0\"?>");
    appendLine(out, u"<CDR_Track_List>");
    appendIfFound(out, fields.Band.Element);
    if (!fields.Date.Element.isEmpty()) {
        appendLine(out, fields.Date.Element);
        appendLine(out, fields.Date.SecondElement);
    }
    appendIfFound(out, fields.Venue.Element);
    appendIfFound(out, fields.City.Element);
    appendIfFound(out, fields.State.Element);
    appendIfFound(out, fields.Source.Element);

    appendLine(out, QStringLiteral("<DISCS>") + QString::number(discs.DiscCount) +
                        QStringLiteral("</DISCS>"));
    for (int n = 1; n <= discs.DiscCount; ++n) {
        const QString d = QString::number(n);
        const qsizetype count = n <= MaxDiscs ? discs.Tracks[n - 1].size() : 0;
        appendLine(out, QStringLiteral("<TRACKSD") + d + u'>' + QString::number(count) +
                            QStringLiteral("</TRACKSD") + d + u'>');
    }
    for (int n = 1; n <= qMin(discs.DiscCount, MaxDiscs); ++n) {
        const auto &list = discs.Tracks[n - 1];
        const qsizetype written = qMin<qsizetype>(list.size(), MaxWrittenTracksPerDisc);
        for (qsizetype t = 0; t < written; ++t) {
            out.append(list[t].TitleElement);
            appendLine(out, list[t].TimeElement);
        }
    }
    appendIfFound(out, fields.Notes.Element);
    out.append(u"</CDR_Track_List>");
    return out;
}

} // namespace tapewright
