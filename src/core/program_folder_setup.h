#pragma once
// Readying an installed program's program folder: the bitmaps, layouts and workbook templates are
// installed once under <prefix>/share/kemnoa and copied into each workstation's program folder, where
// the office may replace them with its own.

#include <QString>
#include <QStringList>

namespace kemnoa::core {

struct FolderFill {
    QStringList copied; // paths relative to the program folder
    QString error;      // empty when every missing file arrived
};

// Copies every file of dataFolder (and of its subfolders) that programFolder lacks, keeping the
// relative path. An existing file is never replaced, and nothing is written through a name that is a
// symbolic link. Example files ("*.example") stay in the data folder.
FolderFill fillProgramFolder(const QString& dataFolder, const QString& programFolder);

// For an installed program: creates the per-workstation folder (owner only, it will hold passwords)
// when it is the program folder, then fills the program folder from the installed data. Does nothing
// for a program run from its build tree. Returns a text saying what failed, or empty.
QString prepareProgramFolder();

} // namespace kemnoa::core
