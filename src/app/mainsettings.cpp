#include "app/mainsettings.h"

#include "common/settings.h"

#include <QDir>
#include <QFileInfo>

namespace tapewright {

namespace {

const QString SmartRecognitionKey = QStringLiteral("SmartRecognition");
const QString WindowSection = QStringLiteral("Window");
const QString RecentSection = QStringLiteral("Recent Files");

const QStringList WindowKeys = {QStringLiteral("Left"),      QStringLiteral("Top"),
                                QStringLiteral("Width"),     QStringLiteral("Height"),
                                QStringLiteral("Maximized"), QStringLiteral("Zoom"),
                                QStringLiteral("Folder")};

QString recentKey(qsizetype n)
{
    return QStringLiteral("File%1").arg(n + 1);
}

QString absolute(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

QStringList WithRecentFile(const QStringList &files, const QString &path)
{
    const QString added = absolute(path);
    QStringList list{added};
    for (const QString &file : files) {
        if (list.size() < MostRecentFiles && absolute(file) != added)
            list << file;
    }
    return list;
}

bool MainSettings::smartRecognition() const
{
    return GetINIString(QString::fromUtf16(SettingsSection), SmartRecognitionKey,
                        QStringLiteral("0"), m_file) == u"1";
}

Result<void> MainSettings::setSmartRecognition(bool on) const
{
    if (m_file.isEmpty())
        return {};
    return WriteINIString(QString::fromUtf16(SettingsSection), SmartRecognitionKey,
                          on ? QStringLiteral("1") : QStringLiteral("0"), m_file);
}

MainSettings::Window MainSettings::window() const
{
    const QStringList values = GetINIStrings(WindowSection, WindowKeys, m_file);
    const auto number = [&values](int n) { return values.at(n).toInt(); };
    return {QRect(number(0), number(1), number(2), number(3)), number(4) == 1, number(5),
            values.at(6)};
}

void MainSettings::storeWindow(const Window &window) const
{
    if (m_file.isEmpty())
        return;
    const QRect &r = window.normal;
    const int numbers[] = {r.left(),   r.top(), r.width(), r.height(), window.maximized ? 1 : 0,
                           window.zoom};
    INIValues values;
    for (int n = 0; n < 6; ++n)
        values.append({WindowKeys.at(n), QString::number(numbers[n])});
    values.append({WindowKeys.at(6), window.folder});
    (void)WriteINIStrings(WindowSection, values, m_file);
}

QStringList MainSettings::recentFiles() const
{
    QStringList keys;
    for (qsizetype n = 0; n < MostRecentFiles; ++n)
        keys << recentKey(n);
    QStringList files = GetINIStrings(RecentSection, keys, m_file);
    files.removeAll(QString());
    return files;
}

Result<void> MainSettings::storeRecentFiles(const QStringList &files) const
{
    if (m_file.isEmpty())
        return {};
    // Every key is written, the unused ones removed, so that no older entry stays behind.
    INIValues values;
    for (qsizetype n = 0; n < MostRecentFiles; ++n)
        values.append({recentKey(n), n < files.size() ? std::optional(files.at(n)) : std::nullopt});
    return WriteINIStrings(RecentSection, values, m_file);
}

} // namespace tapewright
