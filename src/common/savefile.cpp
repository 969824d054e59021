#include "savefile.h"

#include <QSaveFile>

namespace tapewright {

Result<void> SaveFile(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return Failure{
            QStringLiteral("Cannot save %1: %2.").arg(QuotedPath(fileName), file.errorString())};
    return {};
}

} // namespace tapewright
