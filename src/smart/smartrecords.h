// What the smart recogniser reads from an info text, before it becomes a track list XML.
#pragma once

#include <QDate>
#include <QList>
#include <QString>

namespace tapewright::smart {

struct SmartTrack
{
    QString title;
    QString time; // as written ("5:32", "1:02:33", "4:35.50"), empty when the file gives none
};

struct SmartDisc
{
    QList<SmartTrack> tracks;
};

struct SmartShow
{
    QString band;
    QString literalDate; // the date as the file writes it; empty when no show date was found
    QDate date;
    QString venue;
    QString city;
    QString state;
    QString source;
    QString notes;
    QList<SmartDisc> discs;
};

} // namespace tapewright::smart
