#pragma once
// The table catalogue: every table of the four databases with its columns in order, their declared
// types and sizes, and the key columns. It is generated with the creation scripts from the one set
// of definitions in sql/generate.py (catalogue_tables.cpp), so code that needs a table's column
// list (the import, the order editor, the XML writer, the exports) reads it here instead of
// keeping a list of its own.

#include "platform/db/settings.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <span>

namespace kemnoa::db {

enum class SqlType { Text, Integer, BigInt, Decimal, Identity };

struct CatalogueColumn {
    const char* name; // UTF-8, in the definitions' own spelling
    SqlType type;
    int size;                 // Text: characters; Decimal: precision; otherwise 0
    int scale;                // Decimal: digits after the point
    bool key;                 // part of the primary key (an identity column is the key)
    const char* defaultValue; // SQL text of the default, nullptr when none

    QString columnName() const { return QString::fromUtf8(name); }
    // Integer, BigInt, Decimal and Identity columns hold numbers.
    bool isNumber() const { return type != SqlType::Text; }
};

struct CatalogueTable {
    DatabaseKind database;
    const char* name;
    std::span<const CatalogueColumn> columns;

    QString tableName() const { return QString::fromUtf8(name); }
    // The column names in order.
    QStringList columnNames() const;
    // The key columns in order; empty for a table without a primary key.
    QStringList keyColumns() const;
    // The column of that name (compared without regard to case), nullptr when absent.
    const CatalogueColumn* column(QStringView columnName) const;
};

// Every table, database by database, in definition order.
std::span<const CatalogueTable> catalogue();
// The table of that name (compared without regard to case), nullptr when there is none.
const CatalogueTable* catalogueTable(QStringView name);
// Like catalogueTable, but a table that is not defined throws kemnoa::Error: a name written in the
// code that the definitions do not know is a fault of the program.
const CatalogueTable& requireCatalogueTable(QStringView name);

} // namespace kemnoa::db
