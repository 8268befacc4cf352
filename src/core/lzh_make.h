#pragma once
// MF_LzhMake: packs a PO folder's PDF and XML files into one LZH archive.

#include <QString>

namespace kemnoa::core {

class Prompter;

// Results of MF_LzhMake; any other non-zero value is the number of a run-time error.
namespace lzhmake {
inline constexpr int Done = 0;
// 1 meant that the external packer was missing from the program folder. The archiver is now part of the
// program, so this result no longer occurs; the number stays reserved.
inline constexpr int PackerMissing = 1;
inline constexpr int SourceEmpty = 2;        // the source folder holds nothing to pack
inline constexpr int DestinationMissing = 3; // the destination folder does not exist
} // namespace lzhmake

// Replaces the archive dest + name with a new one holding the "*.PDF" files of src and then its "*.XML"
// files (extensions in any case). dest gets a trailing separator when it has none. On failure message
// says why and no archive is left under that name. The prompter, when given, keeps the user interface
// responsive between files.
int MF_LzhMake(const QString& src, QString& dest, const QString& name, QString& message,
               Prompter* prompter = nullptr);

} // namespace kemnoa::core
