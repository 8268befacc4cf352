#pragma once
// The description of one result column: its name and its type as the ADO DataTypeEnum number
// with the defined size, which the order editor and the PO XML file rely on.

#include <QString>

namespace kemnoa::db {

namespace adotype {
inline constexpr int SmallInt = 2;
inline constexpr int Integer = 3;
inline constexpr int Single = 4;
inline constexpr int Double = 5;
inline constexpr int Boolean = 11;
inline constexpr int BigInt = 20;
inline constexpr int Char = 129;
inline constexpr int WChar = 130;
inline constexpr int Numeric = 131;
inline constexpr int DBDate = 133;
inline constexpr int DBTimeStamp = 135;
inline constexpr int VarChar = 200;
inline constexpr int LongVarChar = 201;
inline constexpr int VarWChar = 202;
inline constexpr int LongVarWChar = 203;
inline constexpr int LongVarBinary = 205;
} // namespace adotype

struct ColumnInfo {
    QString name;
    int adoType = adotype::VarChar;
    int definedSize = 0;
};

// The ADO type and size of a declared SQL type such as "VARCHAR(40)", "INTEGER", "NUMERIC(18,4)".
ColumnInfo columnInfoFromDeclaredType(const QString& name, const QString& declared);

} // namespace kemnoa::db
