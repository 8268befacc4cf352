#include "core/file_helpers.h"

#include "core/error.h"
#include "platform/text/cp932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kemnoa::core {
namespace {

QStringList filesOf(const QString& folder) {
    QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        throw Error(QStringLiteral("パスが見つかりません。") + folder, errnum::PathNotFound);
    return dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

bool hasExt(const QString& name, const QString& ext) {
    return name.right(3).toLower() == ext.toLower();
}

} // namespace

std::pair<QString, QString> splitPath(const QString& path) {
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return {path.left(cut + 1), path.mid(cut + 1)};
}

qint32 MF_FileCount(const QString& folder, const QString& ext) {
    qint32 n = 0;
    for (const QString& name : filesOf(folder))
        if (hasExt(name, ext))
            ++n;
    return n;
}

QString MF_FirstFileByExt(const QString& folder, const QString& ext) {
    return firstFileByExtExcept(folder, ext, QString());
}

QString firstFileByExtExcept(const QString& folder, const QString& ext, const QString& except) {
    for (const QString& name : filesOf(folder)) {
        if (!hasExt(name, ext))
            continue;
        const QString path = QDir(folder).filePath(name);
        if (path != except)
            return path;
    }
    return QString();
}

void MF_ExtChange(const QString& path, const QString& newExt, bool overwrite) {
    const auto [folder, name] = splitPath(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    const QString target = folder + base + QLatin1Char('.') + newExt;
    const bool targetExists = QFileInfo::exists(target);
    if (targetExists && !overwrite)
        return;
    // Nothing is deleted before the source is known to be there and to be another file than the
    // target: an older target must not vanish with nothing in its place, nor a file replace itself.
    const QFileInfo source(path);
    if (!source.isFile())
        throw Error(QStringLiteral("ファイルが見つかりません。") + path, errnum::FileNotFound);
    if (targetExists && QFileInfo(target).canonicalFilePath() == source.canonicalFilePath())
        return;
    if (targetExists && !QFile::remove(target))
        throw Error(QStringLiteral("書き込みできません。") + target, errnum::PermissionDenied);
    // Copy first, then delete: the file exists under one of the names at every moment.
    if (!QFile::copy(path, target))
        throw Error(QStringLiteral("ファイルをコピーできません。") + target, errnum::PathFileAccess);
    if (!QFile::remove(path))
        throw Error(QStringLiteral("ファイルを削除できません。") + path, errnum::PermissionDenied);
}

void MF_FolderMake(const QString& path) {
    QString p = path;
    if (p.endsWith(QLatin1Char('\\')) || p.endsWith(QLatin1Char('/')))
        p.chop(1);
    QFileInfo info(p);
    if (info.isDir())
        return;
    if (!QFileInfo(info.absolutePath()).isDir())
        throw Error(QStringLiteral("パスが見つかりません。") + info.absolutePath(), errnum::PathNotFound);
    if (!QDir().mkdir(p))
        throw Error(QStringLiteral("フォルダを作成できません。") + p, errnum::PathFileAccess);
}

QString MF_ByteLen(const QString& text) {
    return QString::number(text::cp932Length(text));
}

QString MF_MaruSuji(qint32 n) {
    static const QString circled = QStringLiteral("①②③④⑤⑥⑦⑧⑨⑩⑪⑫⑬⑭⑮⑯⑰⑱⑲⑳");
    if (n <= 0)
        return QString::number(n);
    if (n > 20)
        return QString();
    return circled.mid(n - 1, 1);
}

} // namespace kemnoa::core
