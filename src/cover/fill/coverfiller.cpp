#include "cover/fill/coverfiller.h"

#include "common/productinfo.h"
#include "common/settings.h"
#include "convert/daterecogniser.h"
#include "cover/document/picturefile.h"
#include "cover/document/templateformats.h"
#include "cover/fill/coverfiles.h"
#include "cover/fill/covershow.h"
#include "cover/fill/tagreader.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace tapewright {

namespace {

enum class DateTreatment
{
    AsRead,
    LongDate,
    ShortDate,
};

struct BookmarkRow
{
    const char16_t *bookmark;
    const char16_t *tag;
    DateTreatment treatment;
};

// The contract with the templates: these names, in this order. "Linerdate" has a lower-case d,
// the spine has no venue, and the liner cover carries no source or notes.
constexpr BookmarkRow BookmarkRows[] = {
    {u"LinerBand", u"<band>", DateTreatment::AsRead},
    {u"Linerdate", u"<date>", DateTreatment::LongDate},
    {u"LinerVenue", u"<venue>", DateTreatment::AsRead},
    {u"LinerCity", u"<city>", DateTreatment::AsRead},
    {u"LinerState", u"<state>", DateTreatment::AsRead},
    {u"LinerSource", u"<source>", DateTreatment::AsRead},
    {u"LinerNotes", u"<notes>", DateTreatment::AsRead},
    {u"LinerCoverBand", u"<band>", DateTreatment::AsRead},
    {u"LinerCoverDate", u"<date>", DateTreatment::LongDate},
    {u"LinerCoverVenue", u"<venue>", DateTreatment::AsRead},
    {u"LinerCoverCity", u"<city>", DateTreatment::AsRead},
    {u"LinerCoverState", u"<state>", DateTreatment::AsRead},
    {u"SpineBand", u"<band>", DateTreatment::AsRead},
    {u"SpineDate", u"<date>", DateTreatment::ShortDate},
    {u"SpineCity", u"<city>", DateTreatment::AsRead},
    {u"SpineState", u"<state>", DateTreatment::AsRead},
    {u"CoverBand", u"<band>", DateTreatment::AsRead},
    {u"CoverDate", u"<date>", DateTreatment::LongDate},
    {u"CoverVenue", u"<venue>", DateTreatment::AsRead},
    {u"CoverCity", u"<city>", DateTreatment::AsRead},
    {u"CoverState", u"<state>", DateTreatment::AsRead},
    {u"CoverBand2", u"<band>", DateTreatment::AsRead},
    {u"CoverDate2", u"<date>", DateTreatment::ShortDate},
    {u"TrayBand", u"<band>", DateTreatment::AsRead},
    {u"TrayDate", u"<date>", DateTreatment::LongDate},
    {u"TraySource", u"<source>", DateTreatment::AsRead},
};

constexpr int TemplateDiscs = 4;
const QString CrLf = QStringLiteral("\r\n");

const QString TemplateKey = QStringLiteral("Template");
const QString CollectionKey = QStringLiteral("PrintCollectionName");
const QString UserNameKey = QStringLiteral("UserName");
const QString PictureKey = QStringLiteral("Picture");

QString dateTreated(const QString &value, DateTreatment treatment, const DateLocale &dates)
{
    if (treatment == DateTreatment::AsRead)
        return value;
    const std::optional<QDate> date = RecogniseDate(value, dates);
    if (!date)
        return value;
    return treatment == DateTreatment::LongDate ? LongDateText(*date, dates)
                                                : ShortDateText(*date, dates);
}

// What the bookmarks of one cover may still take: each text is cut to MaxCoverValueLength and
// to what is left of MaxCoverTextLength, and the bookmarks whose text was cut are noted.
class CoverRoom
{
public:
    // How much of a text the next bookmark may take.
    qsizetype left() const { return std::min(MaxCoverValueLength, m_left); }

    QString fit(const QString &bookmark, const QString &text)
    {
        qsizetype size = text.size();
        if (size > left()) {
            size = left();
            // Never half of a character that needs two UTF-16 units.
            if (size > 0 && text.at(size - 1).isHighSurrogate())
                --size;
            if (!cut.contains(bookmark))
                cut << bookmark;
        }
        m_left -= size;
        return size == text.size() ? text : text.first(size);
    }

    QStringList cut;

private:
    qsizetype m_left = MaxCoverTextLength;
};

// One bookmark write under the continue-on-error rule: an absent bookmark writes nothing (and
// takes no room), and a failing scroll does not keep the text from being written.
void writeBookmark(CoverDocument &document, const QString &name, const QString &text, bool scroll,
                   CoverRoom &room)
{
    if (!document.lookUpBookmark(name))
        return;
    if (scroll)
        (void)document.scrollIntoView(name);
    (void)document.setBookmarkText(name, room.fit(name, text));
}

QString discBookmark(int disc)
{
    return QStringLiteral("TrayDisc") + QString::number(disc);
}

QString trackListBookmark(int disc)
{
    return discBookmark(disc) + QStringLiteral("Tracks");
}

// The disc's tracks, one a line. Joining stops a little past room: overlapping track elements
// can make every track as long as the whole text, and thousands of them would ask for
// gigabytes. A list that stopped early stays longer than room, so that it is known as cut.
QString trackList(const TagText &tags, int disc, qsizetype room)
{
    const int tracks = CoverCount(tags.value(QStringLiteral("<TracksD%1>").arg(disc)));
    QString list;
    for (int t = 1; t <= tracks && list.size() <= room + CrLf.size(); ++t) {
        list += tags.view(QStringLiteral("<D%1T%2>").arg(disc).arg(t));
        list += CrLf;
    }
    if (list.endsWith(CrLf))
        list.chop(2);
    return list;
}

} // namespace

QStringList FillCoverBookmarks(CoverDocument &document, const QString &xml,
                               const CoverChoices &choices, const CoverFillOptions &options)
{
    const TagText tags(xml);
    const DateLocale &dates = DateLocale::of(options.locale);
    CoverRoom room;

    for (const BookmarkRow &row : BookmarkRows) {
        const QString value = tags.value(row.tag);
        // An empty value keeps the template's own text at that bookmark.
        if (value.isEmpty())
            continue;
        writeBookmark(document, QString::fromUtf16(row.bookmark),
                      dateTreated(value, row.treatment, dates), true, room);
    }

    // Counts above four run on: a template with room for more discs gets them, a four-disc
    // template simply lacks the bookmarks.
    const int discs = CoverCount(tags.value(u"<discs>"));
    for (int n = 1; n <= discs; ++n) {
        writeBookmark(document, discBookmark(n), QStringLiteral("Disc ") + QString::number(n), true,
                      room);
        // Looked up before the list is built: the list of a disc the template has no room for
        // would be read for nothing, and a hand-edited count can ask for thousands of them.
        const QString listBookmark = trackListBookmark(n);
        if (document.lookUpBookmark(listBookmark))
            (void)document.setBookmarkText(listBookmark,
                                           room.fit(listBookmark, trackList(tags, n, room.left())));
    }
    // The discs the show does not have leave no heading or list behind. A count below zero
    // (only a hand-edited text holds one) empties from disc 1 on, not from names like
    // "TrayDisc-1".
    for (int n = std::max(discs + 1, 1); n <= TemplateDiscs; ++n) {
        writeBookmark(document, discBookmark(n), QString(), false, room);
        writeBookmark(document, trackListBookmark(n), QString(), false, room);
    }

    writeBookmark(document, QStringLiteral("TrayCollection"),
                  choices.collectionState == 1
                      ? QStringLiteral("From the collection of ") + choices.userName
                      : QString(),
                  false, room);
    writeBookmark(document, QStringLiteral("TrayCreationDate"), ShortDateText(options.today, dates),
                  false, room);
    return room.cut;
}

Result<QStringList> FillCover(CoverDocument &document, const QString &templatePath,
                              const QString &xml, const CoverChoices &choices,
                              const CoverFillOptions &options)
{
    if (Result<void> r = document.start(); !r)
        return Failure{r.error()};
    if (Result<void> r = document.open(templatePath); !r)
        return Failure{r.error()};
    if (Result<void> r = document.setZoom(CoverZoomPercent); !r)
        return Failure{r.error()};
    return FillCoverBookmarks(document, xml, choices, options);
}

QString CutTextNotice(const QStringList &bookmarks)
{
    if (bookmarks.isEmpty())
        return {};
    constexpr qsizetype Named = 5;
    QStringList quoted;
    for (const QString &name : bookmarks.first(std::min(Named, bookmarks.size())))
        quoted << u'\u201C' + name + u'\u201D';
    QString names = quoted.join(QStringLiteral(", "));
    if (bookmarks.size() > Named)
        names += QStringLiteral(" and %1 more").arg(bookmarks.size() - Named);
    // The messages are English; so are their numbers.
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QString bounds =
        QStringLiteral("a bookmark takes at most %1 characters, a whole cover %2")
            .arg(english.toString(MaxCoverValueLength), english.toString(MaxCoverTextLength));
    if (bookmarks.size() == 1)
        return QStringLiteral("The cover was made, but the text for the bookmark %1 was longer "
                              "than a cover can hold and was cut (%2).")
            .arg(names, bounds);
    return QStringLiteral("The cover was made, but the texts for the bookmarks %1 were longer "
                          "than a cover can hold and were cut (%2).")
        .arg(names, bounds);
}

Result<void> CheckCoverFields(const QString &xml)
{
    const TagText tags(xml);
    QStringList names;
    for (const BookmarkRow &row : BookmarkRows) {
        const QString tag = QString::fromUtf16(row.tag).toUpper();
        if (!names.contains(tag))
            names << tag;
        if (!tags.view(tag).isEmpty())
            return {};
    }
    names << QStringLiteral("<DISCS>");
    if (!tags.view(names.last()).isEmpty())
        return {};
    return Failure{QStringLiteral("it is no track list: it holds none of the elements a cover is "
                                  "filled from (%1)")
                       .arg(names.join(QStringLiteral(", ")))};
}

Result<QString> CoverTemplatePath(const QString &folder, const QString &templateFileName)
{
    if (templateFileName.isEmpty())
        return Failure{QStringLiteral("No cover template is chosen. Choose one from the list of "
                                      "templates in %1.")
                           .arg(QuotedPath(folder))};
    return QDir(folder).filePath(templateFileName);
}

Result<MadeCover> MakeCover(CoverDocument &document, const CoverJob &job)
{
    const Result<QString> templatePath =
        CoverTemplatePath(job.templateFolder, job.choices.templateFileName);
    if (!templatePath)
        return Failure{templatePath.error()};
    std::optional<Picture> picture;
    if (!job.choices.picturePath.isEmpty()) {
        Result<Picture> read = ReadPictureFile(job.choices.picturePath);
        if (!read)
            return Failure{read.error()};
        picture = *std::move(read);
    }
    const Result<QStringList> filled =
        FillCover(document, *templatePath, job.xml, job.choices, job.fill);
    if (!filled)
        return Failure{filled.error()};
    MadeCover made;
    made.notice = CutTextNotice(*filled);
    if (const QString fit = document.fitLayout(); !fit.isEmpty())
        made.notice += (made.notice.isEmpty() ? QString() : QStringLiteral("\n\n")) + fit;
    if (picture && !document.placePicture(*picture)) {
        made.notice +=
            (made.notice.isEmpty() ? QString() : QStringLiteral("\n\n")) +
            QStringLiteral("The picture %1 is not on the cover: the template %2 has no "
                           "place for one (%3's own templates have).")
                .arg(QuotedPath(job.choices.picturePath), QuotedPath(job.choices.templateFileName),
                     QString::fromUtf16(ProductName));
    }
    QString target = job.outputPath;
    if (target.isEmpty()) {
        RemoveOldCovers(job.coversFolder, QDateTime::currentDateTimeUtc());
        if (!QDir().mkpath(job.coversFolder))
            return Failure{QStringLiteral("Cannot create the folder %1 for finished covers.")
                               .arg(QuotedPath(job.coversFolder))};
        // A template opens as a new, untitled document: the user prints it or saves it where
        // they like, and the folder only holds what was handed over.
        const TemplateFormat *format = TemplateFormatOf(*templatePath);
        const TemplateFormat &cover =
            format ? FilledFormat(*format, PackageKind::Template)
                   : FilledFormat(FormatFamily::OpenDocument, false, PackageKind::Template);
        target = NewCoverFilePath(job.coversFolder, CoverTitle(job.xml, job.fill.locale),
                                  u'.' + QString::fromUtf16(cover.extension));
    }
    if (Result<void> saved = document.saveAs(target); !saved)
        return Failure{saved.error()};
    made.path = target;
    return made;
}

QString CoverTitle(const QString &xml, const QLocale &locale)
{
    const TagText tags(xml);
    QStringList parts;
    const QString band = tags.value(u"<band>");
    if (!band.isEmpty())
        parts << band;
    if (const auto date = RecogniseDate(tags.value(u"<date>"), locale))
        parts << date->toString(Qt::ISODate);
    return parts.isEmpty() ? QStringLiteral("Cover") : parts.join(u' ');
}

bool IsCoverTemplateName(const QString &fileName)
{
    return TemplateFormatOf(fileName) != nullptr;
}

QStringList ListCoverTemplates(const QString &folder)
{
    // Hidden files and folders are left out, as a wildcard search for documents leaves them.
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files);
    QStringList names;
    for (const QFileInfo &entry : entries) {
        if (IsCoverTemplateName(entry.fileName()))
            names << entry.fileName();
    }
    // The directory's own order is arbitrary on Linux; names that differ only in case keep a
    // fixed order too.
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

CoverChoices LoadCoverChoices(const QString &settingsFile)
{
    const QString section = QString::fromUtf16(SettingsSection);
    CoverChoices choices;
    choices.userName = GetINIString(section, UserNameKey, QString(), settingsFile);
    bool ok = false;
    const int state =
        GetINIString(section, CollectionKey, QStringLiteral("1"), settingsFile).toInt(&ok, 10);
    // Only an edited file holds anything else; the default keeps the dialog usable.
    choices.collectionState = ok && state >= 0 && state <= 2 ? state : 1;
    choices.templateFileName = GetINIString(section, TemplateKey, QString(), settingsFile);
    // A path may be longer than GetINIString reads.
    choices.picturePath = GetINIStrings(section, {PictureKey}, settingsFile).value(0);
    return choices;
}

Result<void> StoreCoverChoices(const CoverChoices &choices, const QString &settingsFile)
{
    const QString section = QString::fromUtf16(SettingsSection);
    if (Result<void> r =
            WriteINIString(section, TemplateKey, choices.templateFileName, settingsFile);
        !r)
        return r;
    if (Result<void> r = WriteINIString(section, CollectionKey,
                                        QString::number(choices.collectionState), settingsFile);
        !r)
        return r;
    if (Result<void> r = WriteINIString(section, UserNameKey, choices.userName, settingsFile); !r)
        return r;
    const std::optional<QString> picture =
        choices.picturePath.isEmpty() ? std::nullopt : std::optional(choices.picturePath);
    return WriteINIStrings(section, {{PictureKey, picture}}, settingsFile);
}

} // namespace tapewright
