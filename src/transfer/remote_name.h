#pragma once
// Names from a server listing are untrusted: only a plain file name may become a local file.

#include <QString>

namespace kemnoa::transfer {

// Longest name accepted, in code page 932 bytes: room for a "B" prefix and a temporary suffix
// within the 255 bytes file systems allow.
inline constexpr qsizetype MaxRemoteNameBytes = 200;

// True for a plain file name: not empty, no path separator, no "..", no control character,
// nothing a Windows file name cannot hold, no character code page 932 cannot carry, not too long.
bool isSafeRemoteName(const QString& name);

// The name with control characters shown as '?', for progress lines.
QString printableName(const QString& name);

} // namespace kemnoa::transfer
