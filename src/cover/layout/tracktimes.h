// Running times as a track list carries them, for the tray card's times and disc totals and for
// the check of a show before its cover is made.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace tapewright {

// What an 80-minute CD-R holds: 79:57 of audio (359,849 sectors less the lead-in and lead-out a
// burner keeps), the figure burning programs warn at.
inline constexpr int CdrSeconds = 79 * 60 + 57;

// The seconds of a time as info texts write it: "4:56", "04:56", "1:02:03", "4:35.50" (CD
// frames, rounded to the nearest second) or "4.35" (a dot for the colon). Anything else,
// blanks around it aside, is no time.
std::optional<int> TrackSeconds(QStringView time);

// A disc's running time: the sum of its tracks' times when every track has one, else none
// (a total of some tracks would pass for the disc's).
std::optional<int> DiscSeconds(const QStringList &times);

// "72:34": minutes and seconds, as CD players and burning programs show a disc's time, also
// past the hour ("80:12").
QString RunningTime(int seconds);

} // namespace tapewright
