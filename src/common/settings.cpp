// The settings file through SimpleIni, with the behaviour other tools expect of a Windows
// profile file: names match in any letter case, values come back trimmed and unquoted and cut
// to 99 characters, and a write leaves everything else in the file where it was.
#include "common/settings.h"

#include "common/regularfile.h"
#include "common/savefile.h"
#include "common/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

// Only the 8-bit (UTF-8) classes are used: decoding is done here, so SimpleIni's own wide
// character converters (and their extra libraries) are not needed. Debian's header hides the
// template bodies behind SI_IMPLEMENTATION and would otherwise want its shared library and ICU;
// upstream SimpleIni is header-only and ignores the macro.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <string>

namespace tapewright {

namespace {

constexpr qsizetype MaxValueLength = 99;

// Stands in for whatever follows the last entry of a file: SimpleIni keeps a comment only with
// the section or key after it, so comments at the very end would be dropped on a write.
// Nothing in a real file is named like this (the control characters cannot be typed in it).
constexpr char TrailSection[] = "\x01tapewright-trailing-comment\x01";

// CSimpleIniA compares section and key names without regard to ASCII letter case. Several
// values per key are allowed so that a file holding a key twice keeps both; reads take the
// first, as the Windows profile functions do.
struct Profile
{
    CSimpleIniA ini{true, true, false};
    std::string trailComment;
};

// A value or name must stay on its one line: a line break in it would start new keys or
// sections of the file's own.
std::string oneLine(const QString &text)
{
    QString line = text;
    for (QChar &c : line) {
        if (c == u'\r' || c == u'\n' || c == QChar(0))
            c = u' ';
    }
    return line.toUtf8().toStdString();
}

enum class LoadResult
{
    Loaded,
    Missing,
    Unreadable
};

// Why an Unreadable file cannot be read goes to *reason.
LoadResult loadProfile(const QString &file, Profile *profile, QString *reason = nullptr)
{
    QFile in(file);
    if (!in.exists())
        return LoadResult::Missing;
    QString why;
    if (const Result<void> opened = OpenRegularFile(in); !opened)
        why = opened.error();
    const QByteArray bytes = why.isEmpty() ? in.readAll() : QByteArray();
    if (why.isEmpty() && in.error() != QFile::NoError)
        why = QStringLiteral("it cannot be read (%1)").arg(in.errorString());
    if (!why.isEmpty()) {
        if (reason)
            *reason = why;
        return LoadResult::Unreadable;
    }
    // UTF-8 when the bytes are valid UTF-8, else Windows-1252 (files of older tools); SimpleIni
    // then works on UTF-8 throughout. It stops at a NUL character, and a write would then drop
    // everything after a stray one.
    QString text = DecodeTextFile(bytes).text;
    text.replace(QChar(0), u' ');
    std::string data = text.toUtf8().toStdString();
    data += "\n[";
    data += TrailSection;
    data += "]\n";
    profile->ini.SetSpaces(false);
    if (profile->ini.LoadData(data) < 0)
        return LoadResult::Unreadable;

    CSimpleIniA::TNamesDepend sections;
    profile->ini.GetAllSections(sections);
    for (const CSimpleIniA::Entry &section : sections) {
        if (std::string(section.pItem) == TrailSection) {
            if (section.pComment)
                profile->trailComment = section.pComment;
            break;
        }
    }
    profile->ini.Delete(TrailSection, nullptr);
    return LoadResult::Loaded;
}

// The key's spelling as the file has it ("username" stays "username" when "UserName" is
// written), so that a write changes nothing but the value.
std::string existingKeyName(const CSimpleIniA &ini, const std::string &section,
                            const std::string &key)
{
    CSimpleIniA::TNamesDepend keys;
    if (ini.GetAllKeys(section.c_str(), keys)) {
        const SI_GenericNoCase<char> less;
        for (const CSimpleIniA::Entry &entry : keys) {
            if (!less(entry.pItem, key.c_str()) && !less(key.c_str(), entry.pItem))
                return entry.pItem;
        }
    }
    return key;
}

// Drops one pair of matching quotes around a value, as the profile read does.
QString unquoted(const QString &value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

QString limited(QString value)
{
    if (value.size() > MaxValueLength) {
        value.truncate(MaxValueLength);
        // Never leave half of a character that needs two UTF-16 units.
        if (value.back().isHighSurrogate())
            value.chop(1);
    }
    return value;
}

} // namespace

QString GetINIString(const QString &section, const QString &key, const QString &defaultValue,
                     const QString &file)
{
    Profile profile;
    if (loadProfile(file, &profile) != LoadResult::Loaded)
        return limited(defaultValue);
    const std::string sectionName = oneLine(section);
    const std::string keyName = oneLine(key);
    const char *value = profile.ini.GetValue(sectionName.c_str(), keyName.c_str(), nullptr);
    if (!value)
        return limited(defaultValue);
    return limited(unquoted(QString::fromUtf8(value)));
}

QStringList GetINIStrings(const QString &section, const QStringList &keys, const QString &file)
{
    Profile profile;
    const bool loaded = loadProfile(file, &profile) == LoadResult::Loaded;
    const std::string sectionName = oneLine(section);
    QStringList values;
    for (const QString &key : keys) {
        const char *value =
            loaded ? profile.ini.GetValue(sectionName.c_str(), oneLine(key).c_str(), nullptr)
                   : nullptr;
        values << (value ? unquoted(QString::fromUtf8(value)) : QString());
    }
    return values;
}

Result<void> WriteINIString(const QString &section, const QString &key, const QString &value,
                            const QString &file)
{
    return WriteINIStrings(section, {{key, value}}, file);
}

Result<void> WriteINIStrings(const QString &section, const INIValues &values, const QString &file)
{
    const auto failure = [&file](const QString &reason) {
        return Failure{QStringLiteral("Cannot save %1: %2.").arg(QuotedPath(file), reason)};
    };
    Profile profile;
    profile.ini.SetSpaces(false);
    // A file that exists but cannot be read is left alone: writing it anew would lose
    // everything else it holds.
    QString unreadable;
    if (loadProfile(file, &profile, &unreadable) == LoadResult::Unreadable)
        return failure(unreadable);

    const std::string sectionName = oneLine(section);
    for (const auto &[key, value] : values) {
        const std::string keyName = existingKeyName(profile.ini, sectionName, oneLine(key));
        if (!value) {
            profile.ini.Delete(sectionName.c_str(), keyName.c_str());
            continue;
        }
        // Replacing also folds a doubled key into one, at the place of its first occurrence.
        if (profile.ini.SetValue(sectionName.c_str(), keyName.c_str(), oneLine(*value).c_str(),
                                 nullptr, true) < 0)
            return failure(QStringLiteral("there is not enough memory"));
    }
    std::string out;
    if (profile.ini.Save(out, false) < 0)
        return failure(QStringLiteral("there is not enough memory"));
    // SimpleIni separates sections by two empty lines; one is how people write these files.
    for (std::string::size_type at; (at = out.find("\n\n\n")) != std::string::npos;)
        out.erase(at, 1);
    if (!profile.trailComment.empty()) {
        out += '\n';
        out += profile.trailComment;
        out += '\n';
    }

    const QFileInfo info(file);
    if (!QDir().mkpath(info.absolutePath()))
        return failure(
            QStringLiteral("the folder %1 cannot be made").arg(QuotedPath(info.absolutePath())));
    return SaveFile(file, QByteArray::fromStdString(out));
}

QString LocateSettingsFile(const QString &programDir, const QString &userConfigDir)
{
    const QString fileName = QStringLiteral("tapewright.ini");
    const QDir program(programDir);
    // A file beside the program is read where it is, whoever put it there: moving the settings
    // would lose the choices of a user who had them there.
    if (QFileInfo::exists(program.filePath(fileName)) ||
        QFileInfo(program.filePath(QStringLiteral("template"))).isDir())
        return program.filePath(fileName);
    return QDir(userConfigDir).filePath(fileName);
}

QString DefaultSettingsFilePath()
{
    return LocateSettingsFile(QCoreApplication::applicationDirPath(),
                              QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

} // namespace tapewright
