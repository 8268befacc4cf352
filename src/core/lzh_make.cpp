#include "core/lzh_make.h"

#include "core/error.h"
#include "core/program_folder.h"
#include "core/prompter.h"
#include "platform/lzh/lzh_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kemnoa::core {

namespace {

// The folder's files with the extension, matched case-insensitively, in name order.
QStringList filesWithExtension(const QDir& folder, const QString& extension) {
    QStringList found;
    const QFileInfoList files =
        folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& f : files)
        if (f.suffix().compare(extension, Qt::CaseInsensitive) == 0)
            found << f.absoluteFilePath();
    return found;
}

// "Bad file name or number": an archive name that is not a plain file name.
constexpr long BadFileName = 52;

long errorNumberOf(const lzh::LzhError& e) {
    return e.kind() == lzh::LzhError::Kind::Io ? errnum::PathFileAccess : errnum::General;
}

} // namespace

int MF_LzhMake(const QString& src, QString& dest, const QString& name, QString& message, Prompter* prompter) {
    dest = withSeparator(dest);
    message.clear();
    try {
        const QDir source(src);
        if (!source.exists())
            throw Error(QStringLiteral("パスが見つかりません。"), errnum::PathNotFound);
        const QString noFiles =
            QStringLiteral("対象フォルダ(") + src + QStringLiteral("）にファイルがありません。");
        if (source.entryList(QDir::Files | QDir::Hidden | QDir::System).isEmpty()) {
            message = noFiles;
            return lzhmake::SourceEmpty;
        }
        if (!QFileInfo(dest).isDir()) {
            message = QStringLiteral("保存先フォルダが見つかりません。");
            return lzhmake::DestinationMissing;
        }
        const QStringList members = filesWithExtension(source, QStringLiteral("pdf")) +
                                    filesWithExtension(source, QStringLiteral("xml"));
        // A folder with files but none to pack would give no archive, which must not pass for success.
        if (members.isEmpty()) {
            message = noFiles;
            return lzhmake::SourceEmpty;
        }

        // The name comes from PO data; it must not lead the archive out of the destination folder.
        if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
            name == QLatin1String(".") || name == QLatin1String(".."))
            throw Error(QStringLiteral("ファイル名が不正です。"), BadFileName);

        // The old archive goes first, so a failed run never leaves it looking like the new one.
        const QString archive = dest + name;
        if (QFileInfo::exists(archive) && !QFile::remove(archive))
            throw Error(QStringLiteral("書き込みできません。"), errnum::PermissionDenied);

        lzh::LzhFileWriter writer(archive);
        for (const QString& file : members) {
            writer.addFile(file);
            if (prompter)
                prompter->processEvents();
        }
        writer.commit();
        return lzhmake::Done;
    } catch (const Error& e) {
        message = e.text();
        return static_cast<int>(e.number());
    } catch (const lzh::LzhError& e) {
        const long number = errorNumberOf(e);
        message = errorText(QString::fromStdString(e.what()), number);
        return static_cast<int>(number);
    } catch (const std::exception& e) {
        message = errorText(QString::fromLocal8Bit(e.what()), errnum::General);
        return static_cast<int>(errnum::General);
    }
}

} // namespace kemnoa::core
