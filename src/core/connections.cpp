#include "core/connections.h"

#include "core/error.h"
#include "core/program_folder.h"
#include "platform/db/recordset.h"

#include <QCoreApplication>

namespace kemnoa::core {

namespace {

// Created once and never destroyed by static destruction: the program's end closes them while
// Qt is still there (see closeAllConnections).
db::Connection* shared(int index) {
    static db::Connection* connections = [] {
        auto* c = new db::Connection[4];
        if (QCoreApplication::instance())
            qAddPostRoutine(closeAllConnections);
        return c;
    }();
    return &connections[index];
}

db::DatabaseKind databaseKind(qint32 kind) {
    switch (kind) {
    case KindOffice:
        return db::DatabaseKind::Office;
    case KindPo:
        return db::DatabaseKind::Po;
    case KindSk:
        return db::DatabaseKind::Sk;
    default:
        return db::DatabaseKind::Work;
    }
}

const DbSettings& sessionSettings(qint32 kind) {
    const Session& s = session();
    switch (kind) {
    case KindOffice:
        return s.OfficeDb;
    case KindPo:
        return s.PoDb;
    case KindSk:
        return s.SkDb;
    default:
        return s.WorkDb;
    }
}

} // namespace

db::Connection& cnWork() {
    return *shared(0);
}
db::Connection& cnOffice() {
    return *shared(1);
}
db::Connection& cnPo() {
    return *shared(2);
}
db::Connection& cnSk() {
    return *shared(3);
}

db::Connection* connectionOfKind(qint32 kind) {
    if (kind < KindWork || kind > KindSk)
        return nullptr;
    return shared(kind - 1);
}

db::ConnectionSettings connectionSettings(const DbSettings& settings, db::DatabaseKind kind) {
    db::ConnectionSettings c;
    c.provider = settings.Provider;
    c.server = settings.ServerName;
    c.database = settings.DbName;
    c.user = settings.UserName;
    c.password = settings.Password;
    c.timeoutSeconds = settings.ConnectTimeout > 0 ? settings.ConnectTimeout : 20;
    c.odbcDriver = settings.OdbcDriver;
    c.baseFolder = programFolder();
    c.kind = kind;
    return c;
}

db::ConnectionSettings connectionSettingsOfKind(qint32 kind) {
    return connectionSettings(sessionSettings(kind), databaseKind(kind));
}

qint32 dbOpen(qint32 kind, Prompter& prompter) {
    db::Connection* connection = connectionOfKind(kind);
    if (!connection)
        return 0;
    try {
        connection->open(connectionSettingsOfKind(kind));
    } catch (const Error& e) {
        prompter.message(e.text(), QStringLiteral("dbOpen"), MsgIcon::Critical);
        const long number = e.number() != 0 ? e.number() : errnum::Database;
        return static_cast<qint32>(number);
    }
    if (kind == KindWork)
        ++session().WorkOpenCount;
    return 0;
}

void dbClose(qint32 kind) {
    db::Connection* connection = connectionOfKind(kind);
    if (!connection)
        return;
    // The work connection is really closed only after the start-up check; reopened by a job it
    // stays open, so a job ending never closes it under another open job window.
    if (kind == KindWork && session().WorkOpenCount != 1)
        return;
    connection->close();
}

namespace {

// The database's own words on one line: the server's message and its code, without the statement
// excerpt and caret PostgreSQL adds below it.
QString databaseReason(const Error& e) {
    QStringList kept;
    for (const QString& line : e.description().split(QLatin1Char('\n'))) {
        const QString t = line.trimmed();
        if (t.isEmpty() || t.startsWith(QLatin1String("LINE ")) ||
            QString(t).remove(QLatin1Char('^')).trimmed().isEmpty())
            continue;
        kept << t;
    }
    if (kept.isEmpty())
        return QStringLiteral("the database gave no reason(%1)").arg(e.number());
    return errorText(kept.join(QLatin1Char(' ')), e.number());
}

} // namespace

Outcome MF_KoteiJohoSet(Prompter& prompter, FailureDetail detailKind) {
    Session& s = session();
    QString detail;
    try {
        db::Recordset rs = cnWork().openStatic(QStringLiteral("Select * From kem_setting"));
        s.FixedInfo.clear();
        if (rs.recordCount() == 0)
            return Outcome::Done;
        bool missing = false;
        for (const QString& key : fixedInfoKeys()) {
            rs.moveFirst();
            if (!rs.find(QStringLiteral("検索条件"), key)) {
                detail = QStringLiteral("'") + key + QStringLiteral("'が見つからない。");
                missing = true;
                break;
            }
            s.FixedInfo.insert(key, rs.text(QStringLiteral("検索値")));
        }
        if (!missing)
            return Outcome::Done;
    } catch (const Error& e) {
        detail.clear();
        if (detailKind == FailureDetail::DatabaseReason)
            detail = QStringLiteral("kem_setting: ") + databaseReason(e);
    }
    prompter.message(QStringLiteral("固定情報セット中にエラーが発生しました。\r\n"
                                    "強制終了されます。エラー内容は以下の通りです。\r\n\r\n") +
                         detail,
                     QStringLiteral("エラー"), MsgIcon::Critical);
    return Outcome::Failed;
}

void closeAllConnections() {
    for (int i = 0; i < 4; ++i)
        shared(i)->close();
}

} // namespace kemnoa::core
