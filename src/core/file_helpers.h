#pragma once
// Small file and folder utilities shared by the jobs. File-system failures are thrown as core::Error
// for the caller's own error handling to report.

#include <QString>

namespace kemnoa::core {

// Number of files in the folder whose last three characters equal ext (compared in lower case).
// Subfolders are neither counted nor searched.
qint32 MF_FileCount(const QString& folder, const QString& ext);

// Folder + name of the first file (in name order) whose last three characters equal ext, or empty text.
QString MF_FirstFileByExt(const QString& folder, const QString& ext);
// The same, passing over the file named `except` (folder + name as MF_FirstFileByExt gives it): the
// file that comes next once that one is gone.
QString firstFileByExtExcept(const QString& folder, const QString& ext, const QString& except);

// Renames path to the same base name with the new extension (without the dot). An existing target is
// kept when overwrite is false, replaced otherwise.
void MF_ExtChange(const QString& path, const QString& newExt, bool overwrite);

// Creates the folder's last level when it does not exist; the parent must exist.
void MF_FolderMake(const QString& path);

// The text's length in bytes in code page 932, as decimal text.
QString MF_ByteLen(const QString& text);

// ① to ⑳ for 1 to 20, empty text above 20, the number itself for 0 and below.
QString MF_MaruSuji(qint32 n);

// Splits a path after its last separator ("\" or "/"): folder with the separator, and file name.
std::pair<QString, QString> splitPath(const QString& path);

} // namespace kemnoa::core
