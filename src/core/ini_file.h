#pragma once
// clsIniFile: reads and writes one key of one section of a Windows-style settings file
// ("[section]" headers followed by key=value lines) in code page 932. Every call works on the file
// directly; nothing is cached. Untouched lines keep their bytes when the file is rewritten.

#include <QString>
#include <QStringList>

namespace kemnoa::core {

class clsIniFile {
public:
    // The file to work on.
    QString FileName() const { return fileName_; }
    void setFileName(const QString& strNewFileName) { fileName_ = strNewFileName; }
    // The current section; every key operation works in it.
    QString Section() const { return section_; }
    void setSection(const QString& strNewValue) { section_ = strNewValue; }

    // The value of strKey in the current section; strDefault when the key is missing or empty.
    // Throws core::Error when the file exists but cannot be read, or when the section header or the
    // line of the key holds bytes that are not code page 932 (the message names the line). Such bytes
    // elsewhere (comments, other sections and keys) are no failure.
    QString GetString(const QString& strKey, const QString& strDefault) const;
    // The value's leading decimal digits as a number; lngDefault when the key is missing or empty.
    qint32 GetInteger(const QString& strKey, qint16 lngDefault) const;
    // Writes strKey=strValue into the current section, creating section, key or file as needed.
    // False when the file cannot be read or written.
    bool SetString(const QString& strKey, const QString& strValue);
    // Removes the key from the current section.
    void DeleteKeyName(const QString& strKey);
    // Removes the section strSection with its keys; an empty argument removes the current section
    // and hands its name back in the argument.
    void DeleteSection(QString& strSection);
    // Fills strSection with the names of all sections; returns their number (0 leaves it untouched).
    // Throws like GetString for a section header with bytes that are not code page 932.
    qint32 EmnumSection(QStringList& strSection) const;
    // Fills strSectionString with the current section's key=value lines in file order. Throws like
    // GetString for a line of the section with bytes that are not code page 932.
    qint32 EnumSectionString(QStringList& strSectionString) const;

    // The room the system gives one value or list, in bytes, terminating NULs included.
    static constexpr int BufferSize = 32767;

private:
    bool setString(const QString& strKey, const QString& strValue);

    QString fileName_;
    QString section_;
};

// Where a setting lives, for messages: "<file> section [<section>]", then ", key <key>" when a key is
// given.
QString settingPlace(const QString& fileName, const QString& section, const QString& key = QString());

// Splits a NUL-separated list as the system returns it: entries each ended by a NUL, the list ended by
// a second NUL. Stops at the first empty entry. Appends to out; returns the number of entries.
qint32 PF_Split(const QString& list, QStringList& out);

} // namespace kemnoa::core
