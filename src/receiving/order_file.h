#pragma once
// The order file being imported, as the import reads it: its table list and whole tables.
// Values are QVariants (Null an invalid QVariant, text QString, numbers qint64 or double).

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

namespace kemnoa::receiving {

struct FileTable {
    QStringList columns;
    std::vector<std::vector<QVariant>> rows; // in the file's storage order
};

class OrderFile {
public:
    virtual ~OrderFile() = default;
    // Whether a user table of that name exists (compared without regard to case).
    virtual bool hasTable(const QString& name) const = 0;
    // Every row of a table. Throws core::Error when the table is missing or cannot be read.
    virtual FileTable readTable(const QString& name) const = 0;
};

} // namespace kemnoa::receiving
