// The show fields found by keyword or by the first characters of a line: source, band, venue,
// city, state and notes, all in one pass over the lines.
#pragma once

#include "convert/infolines.h"
#include "convert/records.h"

namespace tapewright {

// Takes the lines one by one, in order, from line 1; each field is taken from the first line
// that gives it, as if every field had been searched for from line 1 on its own.
class ShowFieldScan
{
public:
    explicit ShowFieldScan(const InfoLines &lines) : m_lines(lines) {}

    // Line n, and the same line lower-cased. Returns false once no later line can change a
    // field.
    bool feed(qsizetype n, QStringView lower);

    // Band, venue, city, state, source and notes (the date is found on its own).
    ShowFields finish();

private:
    void continueNotes(QStringView line);

    const InfoLines &m_lines;
    qsizetype m_band = 0; // the line each field was found on; 0 while not found
    qsizetype m_venue = 0;
    qsizetype m_city = 0;
    qsizetype m_state = 0;
    qsizetype m_source = 0;
    bool m_sourceOpen = false; // the source line's continuation is yet to be decided
    bool m_gratefulDead = false;
    HeaderField m_sourceField;
    enum class Notes
    {
        NotStarted,
        Open,
        Ended,
    } m_notes = Notes::NotStarted;
    QString m_notesText;
};

// The same fields by themselves, for a caller that has no other use for the lines.
ShowFields FindShowFields(const InfoLines &lines);

} // namespace tapewright
