#pragma once
// Temporary settings-file writer with the interface of clsIniFile, used until the real class is
// merged. Reads and writes whole lines in code page 932.

#include "platform/text/cp932.h"

#include <QFile>
#include <QSaveFile>
#include <QString>
#include <QStringList>

namespace kemnoa::core {

class clsIniFile {
public:
    void setFileName(const QString& name) { fileName_ = name; }
    void setSection(const QString& section) { section_ = section; }
    QString FileName() const { return fileName_; }
    QString Section() const { return section_; }

    bool SetString(const QString& key, const QString& value) {
        QStringList lines;
        QFile in(fileName_);
        if (in.open(QIODevice::ReadOnly))
            lines = text::fromCp932(in.readAll()).split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        const QString header = QLatin1Char('[') + section_ + QLatin1Char(']');
        qsizetype start = -1;
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (lines[i].trimmed().compare(header, Qt::CaseInsensitive) == 0)
                start = i;
        const QString line = key + QLatin1Char('=') + value;
        if (start < 0) {
            lines << header << line;
        } else {
            qsizetype end = start + 1;
            bool replaced = false;
            for (; end < lines.size() && !lines[end].trimmed().startsWith(QLatin1Char('[')); ++end) {
                const QString name = lines[end].section(QLatin1Char('='), 0, 0).trimmed();
                if (!replaced && name.compare(key, Qt::CaseInsensitive) == 0) {
                    lines[end] = line;
                    replaced = true;
                }
            }
            if (!replaced)
                lines.insert(end, line);
        }
        QSaveFile out(fileName_);
        if (!out.open(QIODevice::WriteOnly))
            return false;
        out.write(text::toCp932(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
        return out.commit();
    }

private:
    QString fileName_;
    QString section_;
};

} // namespace kemnoa::core
