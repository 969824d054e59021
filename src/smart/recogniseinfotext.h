// The smart recogniser: reads an info text as a collector does (the band alone, the show's
// date, venue and place in any of the usual layouts, the discs however they are headed, the
// tracks without their numbers, times and marks) and writes the same track list XML document
// as the classic converter, so that the cover filler and saved files work unchanged.
#pragma once

#include "convert/convertinfotext.h"
#include "smart/smartrecords.h"

#include <QString>
#include <QStringView>

namespace tapewright::smart {

// A text longer than this is read a piece at a time, so that what is held while reading it stays
// in proportion to one piece (a few dozen bytes a character) and not to the whole text. Three and
// a half times the longest info text of the corpus: every real one is read whole.
inline constexpr qsizetype PieceSize = 64 * 1024;

// Where the piece of a long text that starts at from ends: behind the last empty line of its
// second half, so that a list is rarely cut, else behind the last line end there, else (a line
// that long) at PieceSize, never inside a surrogate pair.
qsizetype PieceEnd(QStringView text, qsizetype from);

// What the recogniser reads from an info text, before any of it is written.
SmartShow ReadShow(const QString &infoText, const QLocale &locale);

// The track list XML of a show read by ReadShow: any number of discs, at most 50 written tracks
// a disc, the date in the locale's short format.
QString WriteSmartTrackList(const SmartShow &show, const QLocale &locale);

} // namespace tapewright::smart

namespace tapewright {

// The whole info text in, the track list XML out; an empty text for a text without a single
// non-blank character. Every line counts, the last one too, whatever ends the lines. Keeps
// nothing between calls.
QString RecogniseInfoText(const QString &infoText, const ConvertOptions &options = {});

} // namespace tapewright
