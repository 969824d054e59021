// The check before a cover is made: what the cover of a track list will show, in one line, and
// what is wrong with it, in sentences a user can act on (no band, a venue read as the band, a
// disc longer than a CD-R, discs the template has no room for, tracks that will not fit). The
// cover dialog shows it above OK, the main window in its status bar, tapewright-cli on standard
// error.
#pragma once

#include "cover/fill/coverfiller.h"
#include "cover/fill/covershow.h"
#include "cover/fill/filecoverdocument.h"
#include "cover/layout/coverlayout.h"

#include <QLocale>
#include <QString>
#include <QStringList>

namespace tapewright {

// The discs a template has room for when no template is known: TrayDisc1 to TrayDisc4, as the
// shipped templates and the templates the program was first made for carry them.
inline constexpr int StandardTemplateDiscs = 4;

struct CoverCheck
{
    // "Blue Lantern · May 8, 1977 · Town Hall · 2 discs/4 tracks"; "no band" and the like for
    // what is missing. Empty for a text that is no track list at all.
    QString summary;
    QStringList warnings; // one sentence each, a disc named by its number
};

// What the template makes of the show, found by filling and fitting it in memory.
struct TemplateRoom
{
    int discs = StandardTemplateDiscs; // the TrayDisc<n>Tracks bookmarks from 1 on
    LayoutFit fit;                     // the fitting of the filled template; all 0 when none
};

// The warnings of the show itself, against a template with room for room.discs discs whose
// fitting found room.fit.
CoverCheck CheckCoverShow(const CoverShow &show, const TemplateRoom &room, const QLocale &locale);

struct CoverCheckOptions
{
    QLocale locale;       // dates are recognised and written in this locale
    QString templatePath; // "" when none is chosen: room for StandardTemplateDiscs, no fitting
    // Fill and fit the template in memory to find tracks and text that will not fit; else only
    // its bookmarks are counted. A Word .doc template is never opened here: it would need
    // LibreOffice to convert it.
    bool dryRun = true;
    CoverChoices choices; // the collection line takes room on the tray card too
    FileCoverOptions document;
};

// Reads the show (ReadCoverShow), and the template where one is given, and checks them. A
// template that cannot be read is left to the making of the cover to report: the show is
// checked as against a standard one.
CoverCheck CheckCover(const QString &xml, const CoverCheckOptions &options);

// The check in the main window's status bar: the summary and, after it, the first warning and
// how many more there are; the warnings one a line for its tooltip.
struct CoverCheckLine
{
    QString summary;
    QString details;
};
CoverCheckLine CoverCheckStatus(const CoverCheck &check);

} // namespace tapewright
