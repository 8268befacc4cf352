#include "receiving/order_tables.h"

namespace kemnoa::receiving {
namespace {

void addText(std::vector<ColumnDef>& c, std::initializer_list<const char*> names) {
    for (const char* n : names)
        c.push_back({QString::fromLatin1(n), Form::Text});
}
void addNumber(std::vector<ColumnDef>& c, const char* name) {
    c.push_back({QString::fromLatin1(name), Form::Number});
}

TableDef makeHeader() {
    TableDef t{QStringLiteral("rcv_denheaddata"), QStringLiteral("denheaddata"), {}};
    auto& c = t.columns;
    addNumber(c, "ORD_NO");
    addText(c, {"REC_TYPE", "REC_KBN", "IRAI_NO"});
    addNumber(c, "ORD_DATE");
    addText(c, {"KIBO_DATE",    "SIR_CD",      "SIR_NM",      "SIR_BUSHO_NM", "SIR_TANTO_NM", "SIR_POST_NO",
                "SIR_ADR1",     "SIR_ADR2",    "SIR_TEL",     "NOU_CD",       "NOU_NM",       "NOU_BUSHO_NM",
                "NOU_TANTO_NM", "NOU_POST_NO", "NOU_ADR1",    "NOU_ADR2",     "NOU_TEL",      "KESSAI",
                "SHKA_PLACE",   "ENTRY_DATE",  "UPDATE_DATE", "PO_NO",        "PO_KBN"});
    addNumber(c, "ERR_SU");
    addNumber(c, "PRN_SU");
    addText(c, {"SEND_FLG", "ORD_SAKI_CD", "ORD_SAKI_NM", "BIKO1", "BIKO2", "BIKO3", "BIKO4", "BIKO5"});
    return t;
}

TableDef makeLine(const char* work, const char* file) {
    TableDef t{QString::fromLatin1(work), QString::fromLatin1(file), {}};
    auto& c = t.columns;
    addText(c, {"TACD",  "TAID",  "TAHIN", "TAINO", "TAFCD", "TASEQ", "TASNO", "TASFL", "TACLT",
                "TARCD", "TABA1", "TABA2", "TAMAK", "TAPHN", "TALCD", "TANM1", "TANM2", "TANM3",
                "TAFM1", "TAHN1", "TATO1", "TAFM2", "TAHN2", "TATO2", "TAFM3", "TAHN3", "TATO3"});
    for (int i = 1; i <= 12; ++i)
        for (const char* p : {"TAPH", "TAPR", "TAPP"})
            c.push_back({QString::fromLatin1(p) + QString::number(i), Form::Text});
    addText(c, {"TASIZ",  "TASTF",  "TASTH",  "TASTO",  "TALHN",  "TALSZ",  "TALCL",  "TALMK",  "TALBK",
                "TALCN",  "TALHK",  "TALSU",  "TACYMD", "TACTIM", "TACWS",  "TAUYMD", "TAUTIM", "TAUWS",
                "TACDYD", "TACDTM", "TACDWS", "TAUDYM", "TAUDTM", "TAUDWS", "TAMEN",  "TACM",   "TAFKB"});
    addNumber(c, "ORD_NO");
    addNumber(c, "GYOU");
    addText(c, {"EHJ"});
    addNumber(c, "SU");
    addText(c, {"FUKI1", "FUKI2", "FUKI3", "FUKI4", "FUKI5", "FUKI6", "FUKI7", "FUKI8"});
    return t;
}

TableDef makeAddFuki() {
    TableDef t{QStringLiteral("rcv_addfukidata"), QStringLiteral("addfukidata"), {}};
    addNumber(t.columns, "ORD_NO");
    addNumber(t.columns, "GYOU");
    addNumber(t.columns, "FUKI_SU");
    addText(t.columns, {"FUKI1", "FUKI2", "FUKI3", "FUKI4", "FUKI5", "FUKI6", "FUKI7", "FUKI8"});
    return t;
}

TableDef makeFuzoku() {
    TableDef t{QStringLiteral("rcv_fuzokudata"), QStringLiteral("fuzokudata"), {}};
    auto& c = t.columns;
    addNumber(c, "ORD_NO");
    addNumber(c, "GYOU");
    addText(c, {"NAME_NM", "SIZAI_CD", "SIZAI_NM", "TITLEKEI"});
    addNumber(c, "SURYOKEI");
    addText(c, {"TITLEMUJI"});
    addNumber(c, "SURYOMUJI");
    for (int i = 1; i <= 10; ++i) {
        c.push_back({QStringLiteral("TITLE") + QString::number(i), Form::Text});
        c.push_back({QStringLiteral("SURYO") + QString::number(i), Form::Number});
    }
    return t;
}

TableDef makeStaging(const char* work, const char* file, std::initializer_list<const char*> first) {
    TableDef t{QString::fromLatin1(work), QString::fromLatin1(file), {}};
    addText(t.columns, first);
    addText(t.columns, {"B01", "B02", "B03", "B04", "B05", "UPD", "SYORI_FLG"});
    return t;
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
    static const TableDef t = makeHeader();
    return t;
}
const TableDef& posTable() {
    static const TableDef t = makeLine("rcv_posdata", "posdata");
    return t;
}
const TableDef& carTable() {
    static const TableDef t = makeLine("rcv_cardata", "cardata");
    return t;
}
const TableDef& addFukiTable() {
    static const TableDef t = makeAddFuki();
    return t;
}
const TableDef& fuzokuTable() {
    static const TableDef t = makeFuzoku();
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
    static const TableDef t =
        makeStaging("rrk_ehj", "snd_mst_ehj", {"EHJ_NO", "EHJ1", "EHJ2", "EHJ3", "EHJ4", "EHJ5", "EHJ6"});
    return t;
}
const TableDef& fukiStaging() {
    static const TableDef t = makeStaging("rrk_fuki", "snd_mst_fuki", {"FUKI_NO", "FUKI_NAIYO"});
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
