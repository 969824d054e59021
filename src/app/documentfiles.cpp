#include "documentfiles.h"

#include "formhelpers.h"
#include "productinfo.h"

namespace tapewright {

QString WindowCaption(const QString &infoFileName)
{
    const QString title = QString::fromUtf16(ProductName);
    if (infoFileName.isEmpty())
        return title;
    return title + QStringLiteral(" - ") + ExtractFileName(infoFileName);
}

QString PaneTextFromDocument(const QString &documentText)
{
    QString text = documentText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

QString DocumentTextFromPane(const QString &rawPaneText)
{
    QString text;
    text.reserve(rawPaneText.size() + rawPaneText.size() / 32 + 2);
    for (const QChar ch : rawPaneText) {
        if (ch == QChar::ParagraphSeparator || ch == u'\n')
            text.append(u"\r\n");
        else
            text.append(ch);
    }
    return text;
}

QString UnloadQuestionText(const QString &fileName)
{
    return fileName + QStringLiteral("\n\nThis file has changed. Do you wish to save it?");
}

QByteArray EncodeInfoText(const QString &text, std::optional<TextEncoding> loadedEncoding)
{
    if (loadedEncoding) {
        if (Result<QByteArray> bytes = EncodeText(text, *loadedEncoding))
            return *std::move(bytes);
    }
    return text.toUtf8();
}

QByteArray EncodeXmlText(const QString &xml)
{
    return xml.toUtf8();
}

} // namespace tapewright
