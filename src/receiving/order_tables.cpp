#include "receiving/order_tables.h"

#include "platform/db/catalogue.h"

namespace kemnoa::receiving {
namespace {

// The columns of a work table from the table catalogue, without the ones named.
TableDef fromCatalogue(const char* work, const char* file, const QStringList& without = {}) {
    TableDef t{QString::fromLatin1(work), QString::fromLatin1(file), {}};
    for (const db::CatalogueColumn& c : db::requireCatalogueTable(t.workTable).columns) {
        const QString name = c.columnName();
        if (!without.contains(name))
            t.columns.push_back({name, c.isNumber() ? Form::Number : Form::Text});
    }
    return t;
}

// The staging tables' own columns, which no order file carries.
const QStringList& stagingOwnColumns() {
    static const QStringList c{QStringLiteral("ID"), QStringLiteral("KAKUNIN_FLG"), QStringLiteral("MEMO")};
    return c;
}

} // namespace

QStringList TableDef::names() const {
    QStringList n;
    n.reserve(static_cast<qsizetype>(columns.size()));
    for (const auto& c : columns)
        n << c.name;
    return n;
}

const TableDef& headerTable() {
    static const TableDef t = fromCatalogue("rcv_denheaddata", "denheaddata");
    return t;
}
const TableDef& posTable() {
    static const TableDef t = fromCatalogue("rcv_posdata", "posdata");
    return t;
}
const TableDef& carTable() {
    static const TableDef t = fromCatalogue("rcv_cardata", "cardata");
    return t;
}
const TableDef& addFukiTable() {
    static const TableDef t = fromCatalogue("rcv_addfukidata", "addfukidata");
    return t;
}
const TableDef& fuzokuTable() {
    static const TableDef t = fromCatalogue("rcv_fuzokudata", "fuzokudata");
    return t;
}
const std::vector<const TableDef*>& lineTables() {
    static const std::vector<const TableDef*> t{&posTable(), &carTable(), &addFukiTable(), &fuzokuTable()};
    return t;
}

bool isHeaderSystemColumn(const QString& name) {
    static const QStringList system{QStringLiteral("PO_NO"),      QStringLiteral("PO_KBN"),
                                    QStringLiteral("ERR_SU"),     QStringLiteral("PRN_SU"),
                                    QStringLiteral("SEND_FLG"),   QStringLiteral("ORD_SAKI_CD"),
                                    QStringLiteral("ORD_SAKI_NM")};
    return system.contains(name);
}

const TableDef& ehjStaging() {
    static const TableDef t = fromCatalogue("rrk_ehj", "snd_mst_ehj", stagingOwnColumns());
    return t;
}
const TableDef& fukiStaging() {
    static const TableDef t = fromCatalogue("rrk_fuki", "snd_mst_fuki", stagingOwnColumns());
    return t;
}

const QStringList& deleteAllTables() {
    static const QStringList t{QStringLiteral("rcv_posdata"),    QStringLiteral("rcv_addfukidata"),
                               QStringLiteral("rcv_fuzokudata"), QStringLiteral("rcv_denheaddata"),
                               QStringLiteral("rcv_csvdata"),    QStringLiteral("rcv_errdata"),
                               QStringLiteral("rcv_cardata"),    QStringLiteral("rcv_skdata"),
                               QStringLiteral("rrk_ehj"),        QStringLiteral("rrk_fuki")};
    return t;
}

} // namespace kemnoa::receiving
