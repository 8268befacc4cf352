#include "core/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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

QString programFolder() {
    if (!g_folder.isEmpty())
        return g_folder;
    const QString env = qEnvironmentVariable("KEMNOA_HOME");
    if (!env.isEmpty())
        return withSeparator(QFileInfo(env).absoluteFilePath());
    if (QCoreApplication::instance())
        return withSeparator(QCoreApplication::applicationDirPath());
    return withSeparator(QDir::currentPath());
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
