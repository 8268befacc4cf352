#pragma once
// Care-symbol and term masters in a test database, submissions staged beside them, and a program
// folder holding the care-symbol pictures and the print layouts.

#include "core/program_folder.h"
#include "platform/db/connection.h"
#include "platform/db/reader.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace kemnoa::test {

// Copies resources/BMP and resources/layouts into the folder and makes it the program folder.
inline void prepareProgramFolder(const QString& folder) {
    const QString resources = sourceDir() + QStringLiteral("/resources/");
    QDir().mkpath(folder + QStringLiteral("/BMP"));
    for (const QString& f : QDir(resources + QStringLiteral("BMP")).entryList(QDir::Files))
        QFile::copy(resources + QStringLiteral("BMP/") + f, folder + QStringLiteral("/BMP/") + f);
    for (const QString& f : QDir(resources + QStringLiteral("layouts")).entryList(QDir::Files))
        QFile::copy(resources + QStringLiteral("layouts/") + f, folder + QLatin1Char('/') + f);
    core::setProgramFolder(folder);
}

inline QVariantList texts(const QStringList& values) {
    QVariantList out;
    for (const QString& v : values)
        out << v;
    return out;
}

inline QStringList padded(QStringList values, int n) {
    while (values.size() < n)
        values << QString();
    return values;
}

inline void addEhj(db::Connection& c, const QString& no, const QStringList& codes,
                   const QString& upd = QStringLiteral("2024/01/01 00:00:00"), const QString& henkan = {},
                   const QStringList& spares = {}) {
    c.execute(
        QStringLiteral("Insert Into kemmst_ehj(EHJ_NO,EHJ1,EHJ2,EHJ3,EHJ4,EHJ5,EHJ6,B01,B02,B03,B04,B05,UPD,"
                       "EHJ_HENKAN,SYORI_FLG) Values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,'')"),
        QVariantList{no} + texts(padded(codes, 6)) + texts(padded(spares, 5)) + QVariantList{upd, henkan});
}

inline void addFuki(db::Connection& c, const QString& no, const QString& naiyo,
                    const QString& upd = QStringLiteral("2024/01/01 00:00:00"),
                    const QStringList& spares = {}) {
    c.execute(QStringLiteral("Insert Into kemmst_fuki(FUKI_NO,FUKI_NAIYO,B01,B02,B03,B04,B05,UPD,SYORI_FLG) "
                             "Values(?,?,?,?,?,?,?,?,'')"),
              QVariantList{no, naiyo} + texts(padded(spares, 5)) + QVariantList{upd});
}

inline qint32 lastId(db::Connection& c, const QString& table) {
    return c.read(QStringLiteral("Select Max(ID) From ") + table).value(0).toInt();
}

inline qint32 stageEhj(db::Connection& c, const QString& no, const QStringList& codes, const QString& flg,
                       const QStringList& spares = {},
                       const QString& upd = QStringLiteral("2024/05/01 10:00:00")) {
    c.execute(
        QStringLiteral("Insert Into rrk_ehj(EHJ_NO,EHJ1,EHJ2,EHJ3,EHJ4,EHJ5,EHJ6,B01,B02,B03,B04,B05,UPD,"
                       "SYORI_FLG,KAKUNIN_FLG) Values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,'0')"),
        QVariantList{no} + texts(padded(codes, 6)) + texts(padded(spares, 5)) + QVariantList{upd, flg});
    return lastId(c, QStringLiteral("rrk_ehj"));
}

inline qint32 stageFuki(db::Connection& c, const QString& no, const QString& naiyo, const QString& flg,
                        const QStringList& spares = {},
                        const QString& upd = QStringLiteral("2024/05/01 10:00:00")) {
    c.execute(QStringLiteral(
                  "Insert Into rrk_fuki(FUKI_NO,FUKI_NAIYO,B01,B02,B03,B04,B05,UPD,SYORI_FLG,KAKUNIN_FLG) "
                  "Values(?,?,?,?,?,?,?,?,?,'0')"),
              QVariantList{no, naiyo} + texts(padded(spares, 5)) + QVariantList{upd, flg});
    return lastId(c, QStringLiteral("rrk_fuki"));
}

// The first column of the first row as text; "<no row>" when there is none.
inline QString cell(db::Connection& c, const QString& sql, const QVariantList& params = {}) {
    db::Reader r = c.read(sql, params);
    return r.atEnd() ? QStringLiteral("<no row>") : r.text(0);
}

} // namespace kemnoa::test
