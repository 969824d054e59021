// A cover document that records every operation asked of it, for the tests of the filling
// logic and of the cover dialog.
#pragma once

#include "coverdocument.h"
#include "testsupport.h"

#include <QHash>
#include <QSet>
#include <QStringList>

namespace tapewright {

class RecordingCoverDocument final : public CoverDocument
{
public:
    // All 36 bookmarks of a four-disc template, in the order the filler writes them.
    static QStringList fullTemplate() { return testsupport::CoverBookmarkNames(); }

    explicit RecordingCoverDocument(const QStringList &bookmarks = fullTemplate())
    {
        // Every bookmark starts with the template's own text: its name in brackets.
        for (const QString &name : bookmarks)
            texts.insert(name, u"["_qs + name + u"]"_qs);
    }

    static QString templateText(const QString &name) { return u"["_qs + name + u"]"_qs; }

    Result<void> start() override { return answer(u"start"_qs, failStart); }
    Result<void> open(const QString &path) override
    {
        openedPath = path;
        return answer(u"open "_qs + path, failOpen);
    }
    Result<void> setZoom(int percent) override
    {
        return answer(u"zoom "_qs + QString::number(percent), failZoom);
    }
    Result<void> lookUpBookmark(const QString &name) override
    {
        return answer(u"lookUp "_qs + name, !texts.contains(name));
    }
    Result<void> scrollIntoView(const QString &name) override
    {
        return answer(u"scroll "_qs + name, !texts.contains(name) || failingScrolls.contains(name));
    }
    Result<void> setBookmarkText(const QString &name, const QString &text) override
    {
        const Result<void> r = answer(u"set "_qs + name, !texts.contains(name));
        if (r)
            texts[name] = text;
        return r;
    }
    QString fitLayout() override
    {
        calls << u"fit"_qs;
        return fitNotice;
    }
    // Records the path; writes nothing.
    Result<void> saveAs(const QString &path) override
    {
        savedPath = path;
        return answer(u"saveAs "_qs + path, failSave);
    }

    // The operations asked, in order ("lookUp LinerBand", "set LinerBand" ...).
    QStringList calls;
    // Bookmark name to its current text; a bookmark not in here is absent from the template.
    QHash<QString, QString> texts;
    QString openedPath;
    QString savedPath;
    QString fitNotice; // what fitLayout answers
    bool failStart = false;
    bool failOpen = false;
    bool failZoom = false;
    bool failSave = false;
    QSet<QString> failingScrolls;

private:
    Result<void> answer(const QString &call, bool fail)
    {
        calls << call;
        return fail ? Result<void>(Failure{u"failed: "_qs + call}) : Result<void>();
    }
};

} // namespace tapewright
