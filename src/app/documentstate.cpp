#include "app/documentstate.h"

#include "app/documentfiles.h"
#include "common/paths.h"

namespace tapewright {

QString DocumentState::caption() const
{
    return WindowCaption(mInfoFileName) + QStringLiteral("[*]");
}

const QString &DocumentState::proposedName(Document which) const
{
    return which == Document::Info ? mInfoFileName : mXmlFileName;
}

void DocumentState::loaded(const QString &infoFileName, TextEncoding encoding)
{
    mInfoFileName = infoFileName;
    mXmlFileName = ProposedXmlFileName(infoFileName);
    m_infoEncoding = encoding;
    mXmlChanged = true;
    setInfoChanged(false);
    emit captionChanged(caption());
}

void DocumentState::infoEdited()
{
    setInfoChanged(true);
}

void DocumentState::saved(Document which)
{
    if (which == Document::Info)
        setInfoChanged(false);
    else
        mXmlChanged = false;
}

void DocumentState::setInfoChanged(bool changed)
{
    if (changed == mInfoChanged)
        return;
    mInfoChanged = changed;
    emit infoChangedChanged(changed);
}

bool DocumentState::queryUnload(const std::function<Answer(const QString &name)> &ask,
                                const std::function<bool(Document)> &save)
{
    bool stay = false;
    for (const Document which : {Document::Info, Document::Xml}) {
        const bool info = which == Document::Info;
        if (!(info ? mInfoChanged : mXmlChanged))
            continue;
        const QString &name = proposedName(which);
        switch (ask(name.isEmpty() ? QString::fromUtf16(info ? UntitledInfoName : UntitledXmlName)
                                   : name)) {
        case Answer::Yes:
            stay = !save(which) || stay;
            break;
        case Answer::No:
            break;
        case Answer::Cancel:
            stay = true;
            break;
        }
    }
    return stay;
}

} // namespace tapewright
