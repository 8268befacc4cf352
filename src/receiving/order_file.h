#pragma once
// The order file being imported, as the import reads it: its table list, and its rows streamed or
// picked by their place, so that the import never needs a whole table in memory.
// Values are QVariants (Null an invalid QVariant, text QString, numbers qint64 or double).

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

namespace kemnoa::receiving {

using FileValues = std::vector<QVariant>;

class OrderFile {
public:
    virtual ~OrderFile() = default;
    // Whether a user table of that name exists (compared without regard to case).
    virtual bool hasTable(const QString& name) const = 0;
    // The columns of a table. Throws core::Error when the table is missing.
    virtual QStringList columns(const QString& table) const = 0;
    // Every row of a table in storage order with its place (0 for the first row).
    virtual void
    forEachRow(const QString& table,
               const std::function<void(qint64 place, const FileValues& values)>& visit) const = 0;
    // Rows by their place, in the order asked.
    virtual std::vector<FileValues> readRows(const QString& table,
                                             const std::vector<qint64>& places) const = 0;
};

} // namespace kemnoa::receiving
