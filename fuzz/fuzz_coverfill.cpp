// The cover filler on any track list XML: no crash, no hang, and what the bookmarks receive stays
// within what a cover takes, is never cut within a character, and every cut is named.
//
// The input is the XML text (UTF-8). The document has the bookmarks of a cover with room for
// eight discs and records what it is given.
#include "cover/fill/coverfiller.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace tapewright;

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

class RecordingDocument final : public CoverDocument
{
public:
    RecordingDocument()
    {
        for (const char *row :
             {"LinerBand",      "Linerdate",       "LinerVenue",     "LinerCity",
              "LinerState",     "LinerSource",     "LinerNotes",     "LinerCoverBand",
              "LinerCoverDate", "LinerCoverVenue", "LinerCoverCity", "LinerCoverState",
              "SpineBand",      "SpineDate",       "SpineCity",      "SpineState",
              "CoverBand",      "CoverDate",       "CoverVenue",     "CoverCity",
              "CoverState",     "CoverBand2",      "CoverDate2",     "TrayBand",
              "TrayDate",       "TraySource",      "TrayCollection", "TrayCreationDate"})
            names << QString::fromLatin1(row);
        for (int n = 1; n <= 8; ++n)
            names << QStringLiteral("TrayDisc%1").arg(n)
                  << QStringLiteral("TrayDisc%1Tracks").arg(n);
    }

    Result<void> start() override { return {}; }
    Result<void> open(const QString &) override { return {}; }
    Result<void> setZoom(int) override { return {}; }
    Result<void> lookUpBookmark(const QString &name) override
    {
        if (names.contains(name))
            return {};
        return Failure{QStringLiteral("no such bookmark")};
    }
    Result<void> scrollIntoView(const QString &name) override { return lookUpBookmark(name); }
    Result<void> setBookmarkText(const QString &name, const QString &text) override
    {
        if (Result<void> found = lookUpBookmark(name); !found)
            return found;
        texts.insert(name, text);
        return {};
    }
    Result<void> saveAs(const QString &) override { return {}; }

    QStringList names;
    QHash<QString, QString> texts;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString xml = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    RecordingDocument document;
    const QStringList cut = FillCoverBookmarks(
        document, xml, CoverChoices{QStringLiteral("t.odt"), 1, QStringLiteral("Me")},
        CoverFillOptions{QLocale(QLocale::English, QLocale::UnitedStates), QDate(2024, 2, 29)});

    qsizetype total = 0;
    for (auto it = document.texts.cbegin(); it != document.texts.cend(); ++it) {
        const QString &text = it.value();
        check(text.size() <= MaxCoverValueLength);
        // UTF-8 decoding leaves no unpaired surrogate, so one at the end is a character cut.
        check(text.isEmpty() || !text.back().isHighSurrogate());
        total += text.size();
    }
    check(total <= MaxCoverTextLength);
    for (const QString &name : cut)
        check(document.texts.contains(name));
    check(CutTextNotice(cut).isEmpty() == cut.isEmpty());

    // The cover's title and the check of tapewright-cli cover read the same text.
    (void)CoverTitle(xml, QLocale(QLocale::English, QLocale::UnitedStates));
    (void)CheckCoverFields(xml);
    return 0;
}
