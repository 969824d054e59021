#include "coverfiller.h"

#include "daterecogniser.h"
#include "settings.h"
#include "tagreader.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <limits>

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

// A disc or track count: a whole number that fits 16 signed bits, else 0.
int CountOf(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok || value < std::numeric_limits<qint16>::min() ||
        value > std::numeric_limits<qint16>::max())
        return 0;
    return value;
}

QString DateTreated(const QString &value, DateTreatment treatment, const DateLocale &dates)
{
    if (treatment == DateTreatment::AsRead)
        return value;
    const std::optional<QDate> date = RecogniseDate(value, dates);
    if (!date)
        return value;
    return treatment == DateTreatment::LongDate ? LongDateText(*date, dates)
                                                : ShortDateText(*date, dates);
}

// One bookmark write under the continue-on-error rule: an absent bookmark writes nothing, and a
// failing scroll does not keep the text from being written.
void WriteBookmark(CoverDocument &document, const QString &name, const QString &text, bool scroll)
{
    if (!document.lookUpBookmark(name))
        return;
    if (scroll)
        (void)document.scrollIntoView(name);
    (void)document.setBookmarkText(name, text);
}

QString DiscBookmark(int disc)
{
    return QStringLiteral("TrayDisc") + QString::number(disc);
}

QString TrackListBookmark(int disc)
{
    return DiscBookmark(disc) + QStringLiteral("Tracks");
}

QString TrackList(const TagText &tags, int disc)
{
    const int tracks = CountOf(tags.value(QStringLiteral("<TracksD%1>").arg(disc)));
    QString list;
    for (int t = 1; t <= tracks; ++t) {
        list += tags.value(QStringLiteral("<D%1T%2>").arg(disc).arg(t));
        list += CrLf;
    }
    if (list.endsWith(CrLf))
        list.chop(2);
    return list;
}

} // namespace

void FillCoverBookmarks(CoverDocument &document, const QString &xml, const CoverChoices &choices,
                        const CoverFillOptions &options)
{
    const TagText tags(xml);
    const DateLocale &dates = DateLocale::of(options.locale);

    for (const BookmarkRow &row : BookmarkRows) {
        const QString value = tags.value(row.tag);
        // An empty value keeps the template's own text at that bookmark.
        if (value.isEmpty())
            continue;
        WriteBookmark(document, QString::fromUtf16(row.bookmark),
                      DateTreated(value, row.treatment, dates), true);
    }

    // Counts above four run on: a template with room for more discs gets them, a four-disc
    // template simply lacks the bookmarks.
    const int discs = CountOf(tags.value(u"<discs>"));
    for (int n = 1; n <= discs; ++n) {
        WriteBookmark(document, DiscBookmark(n), QStringLiteral("Disc ") + QString::number(n),
                      true);
        // Looked up before the list is built: the list of a disc the template has no room for
        // would be read for nothing, and a hand-edited count can ask for thousands of them.
        const QString listBookmark = TrackListBookmark(n);
        if (document.lookUpBookmark(listBookmark))
            (void)document.setBookmarkText(listBookmark, TrackList(tags, n));
    }
    // The discs the show does not have leave no heading or list behind. A count below zero
    // (only a hand-edited text holds one) empties from disc 1 on, not from names like
    // "TrayDisc-1".
    for (int n = std::max(discs + 1, 1); n <= TemplateDiscs; ++n) {
        WriteBookmark(document, DiscBookmark(n), QString(), false);
        WriteBookmark(document, TrackListBookmark(n), QString(), false);
    }

    WriteBookmark(document, QStringLiteral("TrayCollection"),
                  choices.collectionState == 1
                      ? QStringLiteral("From the collection of ") + choices.userName
                      : QString(),
                  false);
    WriteBookmark(document, QStringLiteral("TrayCreationDate"), ShortDateText(options.today, dates),
                  false);
}

CoverResult FillCover(CoverDocument &document, const QString &templatePath, const QString &xml,
                      const CoverChoices &choices, const CoverFillOptions &options)
{
    if (CoverResult r = document.start(); !r)
        return r;
    if (CoverResult r = document.open(templatePath); !r)
        return r;
    if (CoverResult r = document.setZoom(CoverZoomPercent); !r)
        return r;
    FillCoverBookmarks(document, xml, choices, options);
    CoverResult result = CoverResult::success();
    result.notice = document.fitLayout();
    return result;
}

CoverResult CoverTemplatePath(const QString &folder, const QString &templateFileName, QString *path)
{
    if (templateFileName.isEmpty()) {
        return CoverResult::failure(
            QStringLiteral("No cover template is chosen. Choose one from the list of templates "
                           "in \"%1\".")
                .arg(QDir::toNativeSeparators(folder)));
    }
    *path = QDir(folder).filePath(templateFileName);
    return CoverResult::success();
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
    static const QStringList suffixes = {QStringLiteral("odt"), QStringLiteral("ott"),
                                         QStringLiteral("docx"), QStringLiteral("dotx"),
                                         QStringLiteral("doc")};
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot <= 0)
        return false;
    const QString suffix = fileName.sliced(dot + 1);
    return std::any_of(suffixes.cbegin(), suffixes.cend(), [&](const QString &s) {
        return suffix.compare(s, Qt::CaseInsensitive) == 0;
    });
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
    return choices;
}

void StoreCoverChoices(const CoverChoices &choices, const QString &settingsFile)
{
    const QString section = QString::fromUtf16(SettingsSection);
    WriteINIString(section, TemplateKey, choices.templateFileName, settingsFile);
    WriteINIString(section, CollectionKey, QString::number(choices.collectionState), settingsFile);
    WriteINIString(section, UserNameKey, choices.userName, settingsFile);
}

} // namespace tapewright
