#include "maintenance/err_data_make_procedure.h"

#include "core/connections.h"
#include "core/error.h"
#include "core/session.h"
#include "maintenance/err_data_rules.h"
#include "platform/db/reader.h"

#include <QHash>
#include <map>
#include <memory>
#include <optional>
#include <tuple>

namespace kemnoa::maintenance {
namespace {

// A row under the names as the rules ask for them (PostgreSQL reports them in lower case).
QVariantMap rowOf(const QVariantList& values, const QStringList& names) {
    QVariantMap m;
    for (qsizetype i = 0; i < values.size(); ++i)
        m.insert(names[i], values[i]);
    return m;
}

// The columns the rules read, in statements prepared once per connection.
QString selectStatement(const QStringList& columns, const char* table, const char* tail) {
    return QStringLiteral("Select ") + columns.join(QStringLiteral(", ")) + QStringLiteral(" From ") +
           QLatin1String(table) + QLatin1String(tail);
}

// The order as the rules read it: its header and the lines of the four line tables, in one go (on
// PostgreSQL one wait for the server).
OrderSnapshot readOrder(db::Connection& c, qint32 ordNo) {
    struct Part {
        const char* table;
        const QStringList& columns;
        std::vector<QVariantMap>* lines; // nothing for the header
    };
    OrderSnapshot order;
    const Part parts[] = {{"rcv_denheaddata", checkedHeaderColumns(), nullptr},
                          {"rcv_posdata", checkedLabelLineColumns(), &order.posLines},
                          {"rcv_cardata", checkedLabelLineColumns(), &order.carLines},
                          {"rcv_addfukidata", checkedAddFukiColumns(), &order.addFukiLines},
                          {"rcv_fuzokudata", checkedFuzokuColumns(), &order.fuzokuLines}};
    std::vector<db::PipelinedStatement> reads;
    for (const Part& p : parts)
        reads.push_back({selectStatement(p.columns, p.table,
                                         p.lines ? " Where ORD_NO = ? Order By GYOU" : " Where ORD_NO = ?"),
                         {ordNo}});
    const std::vector<db::Connection::Rows> rows = c.readAll(reads);
    if (rows[0].empty())
        return order; // no such order: its lines are not looked at
    order.header = rowOf(rows[0].front(), parts[0].columns);
    for (std::size_t i = 1; i < std::size(parts); ++i)
        for (const QVariantList& row : rows[i])
            parts[i].lines->push_back(rowOf(row, parts[i].columns));
    return order;
}

// The default way to the PO database: the shared PO connection when it is open on that database,
// otherwise a connection of its own, opened with the session's PO settings and kept for later checks.
db::Connection& defaultPoConnection(const QString& server, const QString& database) {
    db::ConnectionSettings s = core::connectionSettings(core::session().PoDb, db::DatabaseKind::Po);
    if (server != core::session().PoDb.ServerName || database != core::session().PoDb.DbName) {
        s.server = server;
        s.database = database;
    }
    db::Connection& shared = core::cnPo();
    if (shared.isOpen() && shared.settings().provider == s.provider && shared.settings().server == s.server &&
        shared.settings().database == s.database)
        return shared;
    using Key = std::tuple<QString, QString, QString>;
    static auto* open = new std::map<Key, std::unique_ptr<db::Connection>>(); // lives to the end of the run
    auto& slot = (*open)[Key{s.provider, s.server, s.database}];
    if (!slot || !slot->isOpen()) {
        slot = std::make_unique<db::Connection>();
        slot->open(s);
    }
    return *slot;
}

PoConnectionResolver& resolver() {
    static PoConnectionResolver r = defaultPoConnection;
    return r;
}

class DbMasters : public MasterLookup {
public:
    DbMasters(db::Connection& work, QString poServer, QString poDb)
        : work_(work), poServer_(std::move(poServer)), poDb_(std::move(poDb)) {}

    bool hasEhj(const QString& v) override {
        return cached(ehj_, v, QStringLiteral("Select EHJ_NO From kemmst_ehj Where EHJ_NO = ?"), {v});
    }
    bool hasFuki(const QString& v) override {
        return cached(fuki_, v, QStringLiteral("Select FUKI_NO From kemmst_fuki Where FUKI_NO = ?"), {v});
    }
    bool hasName(const QString& v) override {
        return cached(name_, v, QStringLiteral("Select name_nm From kemmst_namecode Where name_nm = ?"), {v});
    }
    bool hasSizai(const QString& n, const QString& s) override {
        return cached(
            sizai_, n + QChar(0) + s,
            QStringLiteral("Select sizai_cd From kemmst_sizaicode Where name_nm = ? And sizai_cd = ?"),
            {n, s});
    }
    // The destination as the PO creation finds it: by the client's code and, when the company's
    // customer code is set, for that customer.
    bool hasNouhin(const QString& nouCd) override {
        if (!customerRead_) {
            db::Reader r = work_.read(QStringLiteral("Select 検索値 From kem_setting Where 検索条件 = ?"),
                                      {QStringLiteral("得意先CD")});
            customer_ = r.atEnd() ? QString() : r.text(0);
            customerRead_ = true;
        }
        const auto it = nouhin_.constFind(nouCd);
        if (it != nouhin_.constEnd())
            return *it;
        db::Connection& po = resolver()(poServer_, poDb_);
        const bool found =
            customer_.isEmpty()
                ? !po.read(QStringLiteral("Select NOUCD From MST_NOUHIN Where NOUKYAKU_CD = ?"), {nouCd})
                       .atEnd()
                : !po.read(QStringLiteral("Select NOUCD From MST_NOUHIN Where NOUKYAKU_CD = ? And TOKCD = ?"),
                           {nouCd, customer_})
                       .atEnd();
        nouhin_.insert(nouCd, found);
        return found;
    }

private:
    bool cached(QHash<QString, bool>& cache, const QString& key, const QString& sql,
                const QVariantList& params) {
        const auto it = cache.constFind(key);
        if (it != cache.constEnd())
            return *it;
        const bool found = !work_.read(sql, params).atEnd();
        cache.insert(key, found);
        return found;
    }

    db::Connection& work_;
    QString poServer_, poDb_;
    QHash<QString, bool> ehj_, fuki_, name_, sizai_, nouhin_;
    QString customer_;
    bool customerRead_ = false;
};

// What the masters answered during a run (MasterCheckRun), by work connection.
struct RunCache {
    QString poServer, poDb;
    std::unique_ptr<DbMasters> masters;
};

std::map<const db::Connection*, RunCache>& runs() {
    static std::map<const db::Connection*, RunCache> r;
    return r;
}

} // namespace

MasterCheckRun::MasterCheckRun(db::Connection& work) : work_(work) {
    runs()[&work_];
}

MasterCheckRun::~MasterCheckRun() {
    runs().erase(&work_);
}

void setPoConnectionResolver(PoConnectionResolver r) {
    resolver() = r ? std::move(r) : PoConnectionResolver(defaultPoConnection);
}

int kem_errdatamake_main(db::ProcedureCall& call) {
    const QVariant ordParam = call.input(QStringLiteral("@OrdNo"));
    bool ok = false;
    const qint32 ordNo = ordParam.toInt(&ok);
    if (!ok) {
        call.setOutput(QStringLiteral("@errMsg"), QStringLiteral("発注番号(@OrdNo)が指定されていません。"));
        return 1;
    }
    db::Connection& c = call.connection();

    const OrderSnapshot order = readOrder(c, ordNo);
    std::vector<Finding> findings;
    if (!order.header.isEmpty()) {
        const QString poServer = call.input(QStringLiteral("@PoSv")).toString();
        const QString poDb = call.input(QStringLiteral("@PoDb")).toString();
        // Within a run the masters' answers are kept from order to order; otherwise per call.
        const auto run = runs().find(&c);
        if (run != runs().end()) {
            RunCache& cache = run->second;
            if (!cache.masters || cache.poServer != poServer || cache.poDb != poDb) {
                cache.masters = std::make_unique<DbMasters>(c, poServer, poDb);
                cache.poServer = poServer;
                cache.poDb = poDb;
            }
            findings = checkOrder(order, *cache.masters);
        } else {
            DbMasters masters(c, poServer, poDb);
            findings = checkOrder(order, masters);
        }
    }

    // The order's findings are replaced as a whole; a caller's transaction is joined, not nested.
    const bool own = !c.inTransaction();
    std::optional<db::Transaction> tx;
    if (own)
        tx.emplace(c);
    // Queued: on PostgreSQL the whole replacement is one wait for the server.
    c.queue(QStringLiteral("Delete From rcv_errdata Where ORD_NO = ?"), {ordNo});
    int gyou = 0;
    for (const Finding& f : findings)
        c.queue(QStringLiteral("Insert Into rcv_errdata (ORD_NO, GYOU, ERR_TITLE, ERR_VALUE, ERR_MESSAGE) "
                               "Values (?, ?, ?, ?, ?)"),
                {ordNo, ++gyou, f.title, f.value.isNull() ? QStringLiteral("") : f.value, f.message});
    if (!order.header.isEmpty())
        c.queue(QStringLiteral("Update rcv_denheaddata Set ERR_SU = ? Where ORD_NO = ?"), {gyou, ordNo});
    if (tx)
        tx->commit();
    else
        c.flush();
    return 0;
}

void registerMasterCheckProcedures(db::ProcedureRegistry& registry) {
    if (!registry.find(QStringLiteral("kem_errdatamake_main")))
        registry.add(QStringLiteral("kem_errdatamake_main"), kem_errdatamake_main);
}

} // namespace kemnoa::maintenance
