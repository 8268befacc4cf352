#include "platform/db/catalogue.h"

#include "platform/base/error.h"

namespace kemnoa::db {

QStringList CatalogueTable::columnNames() const {
    QStringList names;
    names.reserve(qsizetype(columns.size()));
    for (const CatalogueColumn& c : columns)
        names << c.columnName();
    return names;
}

QStringList CatalogueTable::keyColumns() const {
    QStringList names;
    for (const CatalogueColumn& c : columns)
        if (c.key)
            names << c.columnName();
    return names;
}

const CatalogueColumn* CatalogueTable::column(QStringView columnName) const {
    for (const CatalogueColumn& c : columns)
        if (c.columnName().compare(columnName, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

const CatalogueTable* catalogueTable(QStringView name) {
    for (const CatalogueTable& t : catalogue())
        if (t.tableName().compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

const CatalogueTable& requireCatalogueTable(QStringView name) {
    if (const CatalogueTable* t = catalogueTable(name))
        return *t;
    throw Error(QStringLiteral("The table %1 is not defined.").arg(name), errnum::General);
}

} // namespace kemnoa::db
