#include "core/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kemnoa::core {
namespace {
QString g_folder;
QString g_settingsFile;
QString g_baseName;
} // namespace

QString withSeparator(const QString& folder) {
    if (folder.isEmpty())
        return folder;
    QString f = QDir::toNativeSeparators(folder);
    if (!f.endsWith(QDir::separator()))
        f += QDir::separator();
    return f;
}

QString joinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty())
        return name;
    return withSeparator(folder) + name;
}

QString installedDataFolder(const QString& executableFolder) {
    const QDir bin(executableFolder);
    if (bin.dirName() != QLatin1String("bin"))
        return QString();
    const QString data = QDir::cleanPath(bin.absoluteFilePath(QStringLiteral("../share/kemnoa")));
    return QFileInfo(data).isDir() ? withSeparator(data) : QString();
}

QString workstationFolder() {
    // An installed program may live in a read-only /usr and be shared by every user of the machine;
    // the settings (with their passwords) and the log belong to the workstation's own login.
    QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return withSeparator(QDir(config).filePath(QStringLiteral("kemnoa")));
}

QString programFolderFor(const QString& executableFolder, const QString& env) {
    if (!env.isEmpty())
        return withSeparator(QFileInfo(env).absoluteFilePath());
    if (!installedDataFolder(executableFolder).isEmpty())
        return workstationFolder();
    return withSeparator(executableFolder);
}

QString programFolder() {
    if (!g_folder.isEmpty())
        return g_folder;
    const QString env = qEnvironmentVariable("KEMNOA_HOME");
    if (!QCoreApplication::instance()) // no executable to place: the current folder
        return withSeparator(env.isEmpty() ? QDir::currentPath() : QFileInfo(env).absoluteFilePath());
    return programFolderFor(QCoreApplication::applicationDirPath(), env);
}

void setProgramFolder(const QString& folder) {
    g_folder = folder.isEmpty() ? QString() : withSeparator(QFileInfo(folder).absoluteFilePath());
}

QString applicationBaseName() {
    if (!g_baseName.isEmpty())
        return g_baseName;
    return QStringLiteral("kemnoa");
}

void setApplicationBaseName(const QString& name) {
    g_baseName = name;
}

QString settingsFile() {
    if (!g_settingsFile.isEmpty())
        return g_settingsFile;
    return programFolder() + applicationBaseName() + QStringLiteral(".ini");
}

void setSettingsFile(const QString& path) {
    g_settingsFile = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
}

} // namespace kemnoa::core
