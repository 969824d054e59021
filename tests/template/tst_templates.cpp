// The shipped cover templates: sound packages holding every bookmark the cover filler writes,
// exactly once, and covers that print on one or two A4 or Letter pages with every value visible.
#include "filecoverdocument.h"

#include <pugixml.hpp>
#include <zip.h>

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace tapewright;

namespace {

// The bookmark names the cover filler writes: 26 rows, then the disc headings and track lists
// of four discs, the collection line and the creation date.
QStringList CoverBookmarkNames()
{
    QStringList names{
        u"LinerBand"_qs,      u"Linerdate"_qs,       u"LinerVenue"_qs,     u"LinerCity"_qs,
        u"LinerState"_qs,     u"LinerSource"_qs,     u"LinerNotes"_qs,     u"LinerCoverBand"_qs,
        u"LinerCoverDate"_qs, u"LinerCoverVenue"_qs, u"LinerCoverCity"_qs, u"LinerCoverState"_qs,
        u"SpineBand"_qs,      u"SpineDate"_qs,       u"SpineCity"_qs,      u"SpineState"_qs,
        u"CoverBand"_qs,      u"CoverDate"_qs,       u"CoverVenue"_qs,     u"CoverCity"_qs,
        u"CoverState"_qs,     u"CoverBand2"_qs,      u"CoverDate2"_qs,     u"TrayBand"_qs,
        u"TrayDate"_qs,       u"TraySource"_qs};
    for (int n = 1; n <= 4; ++n) {
        names << QStringLiteral("TrayDisc%1").arg(n) << QStringLiteral("TrayDisc%1Tracks").arg(n);
    }
    names << u"TrayCollection"_qs << u"TrayCreationDate"_qs;
    return names;
}

QString TemplatePath(const QString &fileName)
{
    return QStringLiteral(TAPEWRIGHT_TEMPLATE_DIR "/") + fileName;
}

// The entries of a zip package, in their order, with their contents.
struct PackageEntry
{
    QString name;
    bool stored = false;
    QByteArray data;
};

QList<PackageEntry> ReadPackage(const QString &path, QString *error)
{
    QList<PackageEntry> entries;
    int code = 0;
    zip_t *archive =
        zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (archive == nullptr) {
        *error = QStringLiteral("not a zip package (libzip error %1)").arg(code);
        return entries;
    }
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        zip_file_t *file = nullptr;
        if (zip_stat_index(archive, zip_uint64_t(i), 0, &stat) != 0 ||
            (file = zip_fopen_index(archive, zip_uint64_t(i), 0)) == nullptr) {
            *error = QStringLiteral("entry %1 cannot be read").arg(i);
            break;
        }
        PackageEntry entry;
        entry.name = QString::fromUtf8(stat.name);
        entry.stored = stat.comp_method == ZIP_CM_STORE;
        entry.data.resize(qsizetype(stat.size));
        const zip_int64_t read = zip_fread(file, entry.data.data(), stat.size);
        zip_fclose(file);
        if (read != zip_int64_t(stat.size)) {
            *error = QStringLiteral("entry %1 is truncated").arg(entry.name);
            break;
        }
        entries << entry;
    }
    zip_discard(archive);
    return entries;
}

// How often each bookmark name starts in an XML part: OpenDocument text:bookmark (a point) and
// text:bookmark-start, Word w:bookmarkStart.
void CountBookmarks(const pugi::xml_node &node, QMap<QString, int> &counts)
{
    for (const pugi::xml_node &child : node.children()) {
        const std::string_view name = child.name();
        if (name == "text:bookmark" || name == "text:bookmark-start")
            ++counts[QString::fromUtf8(child.attribute("text:name").value())];
        else if (name == "w:bookmarkStart")
            ++counts[QString::fromUtf8(child.attribute("w:name").value())];
        CountBookmarks(child, counts);
    }
}

// Every bookmark range has its end: text:bookmark-end by name, w:bookmarkEnd by id.
void CollectBookmarkEnds(const pugi::xml_node &node, QStringList &starts, QStringList &ends)
{
    for (const pugi::xml_node &child : node.children()) {
        const std::string_view name = child.name();
        if (name == "text:bookmark-start")
            starts << QString::fromUtf8(child.attribute("text:name").value());
        else if (name == "text:bookmark-end")
            ends << QString::fromUtf8(child.attribute("text:name").value());
        else if (name == "w:bookmarkStart")
            starts << QString::fromUtf8(child.attribute("w:id").value());
        else if (name == "w:bookmarkEnd")
            ends << QString::fromUtf8(child.attribute("w:id").value());
        CollectBookmarkEnds(child, starts, ends);
    }
}

// A show to print: the value of every bookmark, as the cover filler would write them.
struct Show
{
    QString name;
    QMap<QString, QString> values;
};

QString Crlf(const QStringList &lines)
{
    return lines.join(u"\r\n"_qs);
}

// The worked example of the track list format (tests/data/worked-example.en_US.xml), filled
// under United States settings: it has no state, so the state bookmarks keep their text.
Show WorkedExample()
{
    Show show{u"worked-example"_qs, {}};
    const QString band = u"Blue Lantern"_qs;
    const QString longDate = u"May 8, 1977"_qs;
    const QString shortDate = u"5/8/77"_qs;
    const QString venue = u"Town Hall"_qs;
    const QString city = u"Springfield"_qs;
    const QString source = u"Source: SBD > Reel > DAT"_qs;
    auto &v = show.values;
    v[u"LinerBand"_qs] = band;
    v[u"Linerdate"_qs] = longDate;
    v[u"LinerVenue"_qs] = venue;
    v[u"LinerCity"_qs] = city;
    v[u"LinerSource"_qs] = source;
    v[u"LinerNotes"_qs] = u":Great show. "_qs;
    v[u"LinerCoverBand"_qs] = band;
    v[u"LinerCoverDate"_qs] = longDate;
    v[u"LinerCoverVenue"_qs] = venue;
    v[u"LinerCoverCity"_qs] = city;
    v[u"SpineBand"_qs] = band;
    v[u"SpineDate"_qs] = shortDate;
    v[u"SpineCity"_qs] = city;
    v[u"CoverBand"_qs] = band;
    v[u"CoverDate"_qs] = longDate;
    v[u"CoverVenue"_qs] = venue;
    v[u"CoverCity"_qs] = city;
    v[u"CoverBand2"_qs] = band;
    v[u"CoverDate2"_qs] = shortDate;
    v[u"TrayBand"_qs] = band;
    v[u"TrayDate"_qs] = longDate;
    v[u"TraySource"_qs] = source;
    v[u"TrayDisc1"_qs] = u"Disc 1"_qs;
    v[u"TrayDisc1Tracks"_qs] = Crlf({u"1. Opener"_qs, u"2. Second Song"_qs});
    v[u"TrayDisc2"_qs] = u"Disc 2"_qs;
    v[u"TrayDisc2Tracks"_qs] = Crlf({u"1. Third Song"_qs, u"2. Encore: Closer 3:30"_qs});
    for (const QString &name :
         {u"TrayDisc3"_qs, u"TrayDisc3Tracks"_qs, u"TrayDisc4"_qs, u"TrayDisc4Tracks"_qs})
        v[name] = QString();
    v[u"TrayCollection"_qs] = u"From the collection of Pat Keeper"_qs;
    v[u"TrayCreationDate"_qs] = u"3/14/24"_qs;
    return show;
}

// A long show: four discs of 25 tracks, every third title a long segue that wraps in its
// column, long names everywhere else too.
Show FourDiscShow()
{
    static const QStringList songs{u"Morning Dew"_qs,
                                   u"Scarlet Begonias"_qs,
                                   u"Fire on the Mountain"_qs,
                                   u"Sugar Magnolia"_qs,
                                   u"Eyes of the World"_qs,
                                   u"Help on the Way"_qs,
                                   u"Slipknot!"_qs,
                                   u"Franklin's Tower"_qs,
                                   u"Playing in the Band"_qs,
                                   u"Uncle John's Band"_qs,
                                   u"The Other One"_qs,
                                   u"Wharf Rat"_qs,
                                   u"Dark Star"_qs,
                                   u"St. Stephen"_qs,
                                   u"Not Fade Away"_qs,
                                   u"Going Down the Road Feeling Bad"_qs};
    Show show{u"four-discs"_qs, {}};
    const QString band = u"The Midnight Lantern Orchestra"_qs;
    const QString longDate = u"September 24, 1976"_qs;
    const QString shortDate = u"9/24/76"_qs;
    const QString venue = u"Municipal Auditorium and Convention Center"_qs;
    const QString city = u"Williamsburg"_qs;
    const QString state = u"VA"_qs;
    const QString source =
        u"Source: SBD > MR (master reel) > DAT (48 kHz) > CD-R > EAC (secure) > FLAC level 8"_qs;
    auto &v = show.values;
    for (const QString &prefix : {u"Liner"_qs, u"LinerCover"_qs, u"Cover"_qs}) {
        v[prefix + u"Band"_qs] = band;
        v[prefix + u"Venue"_qs] = venue;
        v[prefix + u"City"_qs] = city;
        v[prefix + u"State"_qs] = state;
    }
    v[u"Linerdate"_qs] = longDate;
    v[u"LinerCoverDate"_qs] = longDate;
    v[u"CoverDate"_qs] = longDate;
    v[u"LinerSource"_qs] = source;
    v[u"LinerNotes"_qs] = Crlf({u"Disc 1 track 3: a short cut in the first minute, patched."_qs,
                                u"Disc 3 has the second set; the encore closes disc 4."_qs,
                                u"Thanks to the taper and to everyone who kept this in "
                                u"circulation for forty years."_qs});
    v[u"SpineBand"_qs] = band;
    v[u"SpineDate"_qs] = shortDate;
    v[u"SpineCity"_qs] = city;
    v[u"SpineState"_qs] = state;
    v[u"CoverBand2"_qs] = band;
    v[u"CoverDate2"_qs] = shortDate;
    v[u"TrayBand"_qs] = band;
    v[u"TrayDate"_qs] = longDate;
    v[u"TraySource"_qs] = source;
    int song = 0;
    for (int disc = 1; disc <= 4; ++disc) {
        QStringList tracks;
        for (int track = 1; track <= 25; ++track) {
            QString title = songs.at(song++ % songs.size());
            if (track % 3 == 0) {
                const QString second = songs.at(song++ % songs.size());
                const QString third = songs.at(song++ % songs.size());
                title += u" > "_qs + second + u" > "_qs + third;
            }
            tracks << QStringLiteral("%1. %2").arg(track).arg(title);
        }
        v[QStringLiteral("TrayDisc%1").arg(disc)] = QStringLiteral("Disc %1").arg(disc);
        v[QStringLiteral("TrayDisc%1Tracks").arg(disc)] = Crlf(tracks);
    }
    v[u"TrayCollection"_qs] = u"From the collection of Pat Keeper"_qs;
    v[u"TrayCreationDate"_qs] = u"3/14/24"_qs;
    return show;
}

// Text as pdftotext gives it and as a value reads: titles wrap in their column and the spines
// run across lines, so only the sequence of words counts.
QString Words(const QString &text)
{
    return text.simplified();
}

} // namespace

class TestTemplates : public QObject
{
    Q_OBJECT

private slots:
    void package_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("OpenDocument") << u"Jewel Case.odt"_qs;
        QTest::newRow("Word") << u"Jewel Case.docx"_qs;
    }

    void package()
    {
        QFETCH(QString, fileName);
        QString error;
        const QList<PackageEntry> entries = ReadPackage(TemplatePath(fileName), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(!entries.isEmpty());

        QMap<QString, int> counts;
        QStringList starts;
        QStringList ends;
        for (const PackageEntry &entry : entries) {
            if (!entry.name.endsWith(u".xml"_qs) && !entry.name.endsWith(u".rels"_qs))
                continue;
            pugi::xml_document document;
            const pugi::xml_parse_result parsed =
                document.load_buffer(entry.data.constData(), size_t(entry.data.size()));
            QVERIFY2(parsed,
                     qPrintable(entry.name + u": "_qs + QString::fromUtf8(parsed.description())));
            CountBookmarks(document, counts);
            CollectBookmarkEnds(document, starts, ends);
        }
        if (fileName.endsWith(u".odt"_qs)) {
            // Readers find the type at a fixed offset: first entry, uncompressed.
            QCOMPARE(entries.first().name, u"mimetype"_qs);
            QVERIFY(entries.first().stored);
            QCOMPARE(entries.first().data, QByteArray("application/vnd.oasis.opendocument.text"));
        } else {
            const bool hasTypes = std::any_of(entries.begin(), entries.end(), [](const auto &e) {
                return e.name == u"[Content_Types].xml"_qs;
            });
            QVERIFY(hasTypes);
        }

        for (const QString &name : CoverBookmarkNames())
            QVERIFY2(
                counts.value(name) == 1,
                qPrintable(QStringLiteral("%1 occurs %2 times").arg(name).arg(counts.value(name))));
        const QStringList expected = CoverBookmarkNames();
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            QVERIFY2(expected.contains(it.key()), qPrintable(u"stray bookmark "_qs + it.key()));
        starts.sort();
        ends.sort();
        QCOMPARE(ends, starts);
    }

    // Fills each template, has LibreOffice print it, and reads the pages back.
    void print_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("show");
        QTest::newRow("OpenDocument, worked example") << u"Jewel Case.odt"_qs << 0;
        QTest::newRow("OpenDocument, four discs of 25 tracks") << u"Jewel Case.odt"_qs << 1;
        QTest::newRow("Word, worked example") << u"Jewel Case.docx"_qs << 0;
        QTest::newRow("Word, four discs of 25 tracks") << u"Jewel Case.docx"_qs << 1;
    }

    void print()
    {
        QFETCH(QString, fileName);
        QFETCH(int, show);
        const QString office = FindOfficeProgram();
        if (office.isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_qs);
        const QString pdfinfo = QStandardPaths::findExecutable(u"pdfinfo"_qs);
        QVERIFY2(!pdftotext.isEmpty() && !pdfinfo.isEmpty(), "poppler-utils are not installed");

        const Show filled = show == 0 ? WorkedExample() : FourDiscShow();
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        FileCoverOptions options;
        options.cacheFolder = dir.filePath(u"cache"_qs);
        options.opener = [](const QString &) { return true; };
        FileCoverDocument document(options);
        QVERIFY(document.start());
        const CoverResult opened = document.open(TemplatePath(fileName));
        QVERIFY2(opened, qPrintable(opened.error));
        for (auto it = filled.values.cbegin(); it != filled.values.cend(); ++it) {
            // As the filler does: an empty row keeps the template's text, except on the
            // tray's disc bookmarks, which are always written.
            if (it.value().isEmpty() && !it.key().startsWith(u"TrayDisc"_qs))
                continue;
            const CoverResult written = document.setBookmarkText(it.key(), it.value());
            QVERIFY2(written, qPrintable(written.error));
        }
        const QString suffix = QFileInfo(fileName).suffix();
        const QString cover = dir.filePath(filled.name + u"."_qs + suffix);
        const CoverResult saved = document.saveAs(cover);
        QVERIFY2(saved, qPrintable(saved.error));

        QProcess convert;
        convert.setProgram(office);
        convert.setArguments({u"--headless"_qs,
                              u"-env:UserInstallation=file://"_qs + dir.filePath(u"profile"_qs),
                              u"--convert-to"_qs, u"pdf"_qs, u"--outdir"_qs, dir.path(), cover});
        convert.start();
        QVERIFY(convert.waitForFinished(600 * 1000));
        const QString pdf = dir.filePath(filled.name + u".pdf"_qs);
        QVERIFY2(QFile::exists(pdf), convert.readAllStandardError().constData());

        QProcess info;
        info.start(pdfinfo, {pdf});
        QVERIFY(info.waitForFinished(60 * 1000));
        const QString infoText = QString::fromUtf8(info.readAllStandardOutput());
        const QRegularExpressionMatch pages =
            QRegularExpression(u"^Pages:\\s+(\\d+)"_qs, QRegularExpression::MultilineOption)
                .match(infoText);
        QVERIFY2(pages.hasMatch(), qPrintable(infoText));
        const int pageCount = pages.captured(1).toInt();
        QVERIFY2(pageCount >= 1 && pageCount <= 2, qPrintable(infoText));
        const QRegularExpressionMatch size =
            QRegularExpression(u"^Page size:.*\\((A4|letter)\\)"_qs,
                               QRegularExpression::MultilineOption)
                .match(infoText);
        QVERIFY2(size.hasMatch(), qPrintable(infoText));

        QProcess text;
        text.start(pdftotext, {u"-raw"_qs, u"-enc"_qs, u"UTF-8"_qs, pdf, u"-"_qs});
        QVERIFY(text.waitForFinished(60 * 1000));
        const QString printed = Words(QString::fromUtf8(text.readAllStandardOutput()));
        for (auto it = filled.values.cbegin(); it != filled.values.cend(); ++it) {
            // Each line of a value on its own: the track lists stand side by side.
            for (const QString &line : it.value().split(u"\r\n"_qs, Qt::SkipEmptyParts)) {
                const QString words = Words(line);
                QVERIFY2(printed.contains(words),
                         qPrintable(it.key() + u": \""_qs + words + u"\" is not on the pages"_qs));
            }
        }
        // A state the show lacks keeps the template's own word for it.
        if (show == 0)
            QVERIFY(printed.contains(u"Springfield, State"_qs));
    }
};

QTEST_GUILESS_MAIN(TestTemplates)
#include "tst_templates.moc"
