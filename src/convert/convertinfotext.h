// The converter: the whole info text of a show in, its track list XML out.
#pragma once

#include <QLocale>
#include <QString>

namespace tapewright {

// Told when a conversion starts and ends its real work, so a window can show that it is busy.
// Texts too short to convert are returned at once and report nothing.
class ConvertObserver
{
public:
    virtual ~ConvertObserver() = default;
    virtual void busyOn() = 0;
    virtual void busyOff() = 0;
};

struct ConvertOptions
{
    QLocale locale;                      // the locale dates are recognised and written in
    ConvertObserver *observer = nullptr; // may be null
    // The info text's file; empty for a text from no file. Smart recognition reads a band and
    // date the text does not name from its name and its folder's.
    QString infoPath = {};
};

// The fewest lines a text needs to be converted.
inline constexpr qsizetype MinimumInfoLines = 6;

// Returns the track list XML, or an empty text when the info text has fewer than
// MinimumInfoLines complete (CR LF ended) lines. Keeps nothing between calls.
QString ConvertInfoText(const QString &infoText, const ConvertOptions &options = {});

} // namespace tapewright
