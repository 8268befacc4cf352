#include "maintenance/po_rows_procedures.h"

#include "core/connections.h"
#include "core/error.h"
#include "core/session.h"
#include "platform/db/catalogue.h"
#include "platform/db/reader.h"
#include "platform/db/sql_text.h"

#include <QCryptographicHash>
#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <tuple>

namespace kemnoa::maintenance {
namespace {

using Row = QVariantMap; // column names in upper case

Row rowOf(const db::Reader& r) {
    Row m;
    for (int i = 0; i < r.columnCount(); ++i)
        m.insert(r.column(i).name.toUpper(), r.value(i)); // PostgreSQL reports names in lower case
    return m;
}

QString txt(const Row& row, const QString& column) {
    return db::valueText(row.value(column));
}
QString txt(const Row& row, const char* column) {
    return txt(row, QString::fromLatin1(column));
}
qint64 whole(const Row& row, const char* column) {
    return row.value(QString::fromLatin1(column)).toLongLong(); // Null counts as 0
}

std::vector<Row> readRows(db::Connection& c, const QString& sql, const QVariantList& params) {
    std::vector<Row> rows;
    for (db::Reader r = c.read(sql, params); !r.atEnd(); r.moveNext())
        rows.push_back(rowOf(r));
    return rows;
}

db::Connection& defaultOffice() {
    db::Connection& shared = core::cnOffice();
    if (shared.isOpen())
        return shared;
    static auto* own = new db::Connection(); // lives to the end of the run
    if (!own->isOpen()) {
        db::ConnectionSettings s =
            core::connectionSettings(core::session().OfficeDb, db::DatabaseKind::Office);
        s.createIfMissing = false; // the product master is never created here
        own->open(s);
    }
    return *own;
}

OfficeConnectionResolver& officeResolver() {
    static OfficeConnectionResolver r = defaultOffice;
    return r;
}

struct Product {
    QString name1, name2;
    double shPrice = 0, kemPrice1 = 0, kemPrice2 = 0;
};

// The masters a PO's rows are computed from, each value read once per call.
class Masters {
public:
    explicit Masters(db::Connection& work) : work_(work) {}

    // The print layout and product code of a hang-tag or care-label line by its tag code: its own row
    // of kem_label_layout, else the kind's default row (empty TAG_CD), else the tag code itself.
    std::pair<QString, QString> layoutOf(const QString& kind, const QString& tagCd) {
        const QString key = kind + QChar(0) + tagCd;
        const auto it = layouts_.constFind(key);
        if (it != layouts_.constEnd())
            return *it;
        const QString sql =
            QStringLiteral("Select LAYOUT, SHO_CD From kem_label_layout Where HINSYU_CD = ? And TAG_CD = ?");
        db::Reader r = work_.read(sql, {kind, tagCd});
        if (r.atEnd() && !tagCd.isEmpty())
            r = work_.read(sql, {kind, QString()});
        QString layout, sho;
        if (!r.atEnd()) {
            layout = r.text(0).trimmed();
            sho = r.text(1).trimmed();
        }
        if (layout.isEmpty())
            layout = tagCd.trimmed().isEmpty() ? kind : tagCd.trimmed();
        const std::pair<QString, QString> out{safeLayoutName(layout), sho};
        layouts_.insert(key, out);
        return out;
    }

    Product product(const QString& shoCd) {
        if (shoCd.isEmpty())
            return {};
        const auto it = products_.constFind(shoCd);
        if (it != products_.constEnd())
            return *it;
        db::Connection& office = officeResolver()();
        Product p;
        if (db::Reader r = office.read(
                QStringLiteral("Select SHO032, SHO033 From dbo.FSHOWK Where SHO011 = ?"), {shoCd});
            !r.atEnd()) {
            p.name1 = r.text(0);
            p.name2 = r.text(1);
        }
        if (db::Reader r = office.read(
                QStringLiteral("Select SKN031_9, SKN031_10 From dbo.FSKNPF Where SKN011 = ?"), {shoCd});
            !r.atEnd()) {
            p.kemPrice1 = r.value(0).toDouble();
            p.shPrice = r.value(1).toDouble();
        }
        if (db::Reader r = office.read(
                QStringLiteral("Select SHJ032 From dbo.FSHJWK1 Where SHJ011 = ? And SHJ012 = '0'"), {shoCd});
            !r.atEnd())
            p.kemPrice2 = r.value(0).toDouble();
        products_.insert(shoCd, p);
        return p;
    }

    // The product of an accessory line: the first product whose material code is the line's.
    QString productOfMaterial(const QString& sizaiCd) {
        if (sizaiCd.isEmpty())
            return {};
        const auto it = materials_.constFind(sizaiCd);
        if (it != materials_.constEnd())
            return *it;
        db::Reader r = officeResolver()().read(
            QStringLiteral("Select Min(SKN011) From dbo.FSKNPF Where SKN031_1 = ?"), {sizaiCd});
        const QString sho = r.atEnd() ? QString() : r.text(0); // Null (no product) as empty
        materials_.insert(sizaiCd, sho);
        return sho;
    }

    // The size's sort level; a size missing from kemmst_size sorts after every known one.
    int sortLevel(const QString& size) {
        const auto it = sortLevels_.constFind(size);
        if (it != sortLevels_.constEnd())
            return *it;
        db::Reader r =
            work_.read(QStringLiteral("Select Min(sort_lv) From kemmst_size Where size_value = ?"), {size});
        const int level = r.atEnd() || db::isNull(r.value(0)) ? 9999 : r.value(0).toInt();
        sortLevels_.insert(size, level);
        return level;
    }

    Row careSymbols(const QString& ehjNo) {
        if (ehjNo.isEmpty())
            return {};
        const auto it = ehj_.constFind(ehjNo);
        if (it != ehj_.constEnd())
            return *it;
        db::Reader r = work_.read(QStringLiteral("Select * From kemmst_ehj Where EHJ_NO = ?"), {ehjNo});
        const Row row = r.atEnd() ? Row() : rowOf(r);
        ehj_.insert(ehjNo, row);
        return row;
    }

    QString termWording(const QString& fukiNo) {
        if (fukiNo.isEmpty())
            return {};
        const auto it = fuki_.constFind(fukiNo);
        if (it != fuki_.constEnd())
            return *it;
        db::Reader r =
            work_.read(QStringLiteral("Select FUKI_NAIYO From kemmst_fuki Where FUKI_NO = ?"), {fukiNo});
        const QString wording = r.atEnd() ? QString() : r.text(0);
        fuki_.insert(fukiNo, wording);
        return wording;
    }

private:
    db::Connection& work_;
    QHash<QString, std::pair<QString, QString>> layouts_;
    QHash<QString, Product> products_;
    QHash<QString, QString> materials_;
    QHash<QString, int> sortLevels_;
    QHash<QString, Row> ehj_;
    QHash<QString, QString> fuki_;
};

const QString kTag = QStringLiteral("TAG");
const QString kCar = QStringLiteral("CAR");

// One line of the PO: the order lines of one order that print alike (same kind, layout, article and
// product), or one accessory line.
struct PoLine {
    int poGyou = 0;
    QString kind; // TAG, CAR, or empty for an accessory (assortment) line
    QString layout, hinban, shoCd;
    Row header;
    std::vector<Row> lines;
};

// The PO's lines in their order: orders by ORD_NO; within an order its hang-tag lines, its care-label
// lines and its accessory lines, each kind by GYOU, a line joining the first earlier one it prints
// alike. Numbered from 1.
std::vector<PoLine> planPo(db::Connection& work, Masters& masters, const QString& poNo,
                           const QString& poKbn) {
    std::vector<PoLine> plan;
    const auto headers = readRows(
        work, QStringLiteral("Select * From rcv_denheaddata Where PO_NO = ? And PO_KBN = ? Order By ORD_NO"),
        {poNo, poKbn});
    for (const Row& header : headers) {
        const qint64 ordNo = whole(header, "ORD_NO");
        for (const auto& [kind, table] : {std::pair{kTag, QStringLiteral("rcv_posdata")},
                                          std::pair{kCar, QStringLiteral("rcv_cardata")}}) {
            const std::size_t first = plan.size();
            for (const Row& line :
                 readRows(work, QStringLiteral("Select * From %1 Where ORD_NO = ? Order By GYOU").arg(table),
                          {ordNo})) {
                const auto [layout, sho] = masters.layoutOf(kind, txt(line, "TAFCD"));
                const QString hinban = txt(line, "TAHIN");
                auto same =
                    std::find_if(plan.begin() + std::ptrdiff_t(first), plan.end(), [&](const PoLine& p) {
                        return p.layout == layout && p.hinban == hinban && p.shoCd == sho;
                    });
                if (same != plan.end()) {
                    same->lines.push_back(line);
                    continue;
                }
                plan.push_back({0, kind, layout, hinban, sho, header, {line}});
            }
        }
        for (const Row& line :
             readRows(work, QStringLiteral("Select * From rcv_fuzokudata Where ORD_NO = ? Order By GYOU"),
                      {ordNo}))
            plan.push_back({0,
                            QString(),
                            QString(),
                            QString(),
                            masters.productOfMaterial(txt(line, "SIZAI_CD")),
                            header,
                            {line}});
    }
    int n = 0;
    for (PoLine& p : plan)
        p.poGyou = ++n;
    return plan;
}

// The print row columns in table order (the row's own number left to the database): the 80 fields of
// the print record.
QStringList valueColumns(QStringView table) {
    QStringList names;
    for (const db::CatalogueColumn& c : db::requireCatalogueTable(table).columns)
        if (c.type != db::SqlType::Identity)
            names << c.columnName();
    return names;
}

const QStringList& csvColumns() {
    static const QStringList columns = valueColumns(u"rcv_csvdata");
    return columns;
}

const QStringList& skColumns() {
    static const QStringList columns = {
        QStringLiteral("PO_NO"),    QStringLiteral("PO_KBN"),     QStringLiteral("PO_GYOU"),
        QStringLiteral("ORD_NO"),   QStringLiteral("GYOU"),       QStringLiteral("IRAI_NO"),
        QStringLiteral("NOU_CD"),   QStringLiteral("NOU_NM"),     QStringLiteral("HINSYU_CD"),
        QStringLiteral("LAYOUT"),   QStringLiteral("HINBAN"),     QStringLiteral("SHO_CD"),
        QStringLiteral("SHO_NM1"),  QStringLiteral("SHO_NM2"),    QStringLiteral("SU"),
        QStringLiteral("SH_PRICE"), QStringLiteral("KEM_PRICE1"), QStringLiteral("KEM_PRICE2")};
    return columns;
}

QString joined(const Row& line, int k) {
    QStringList parts;
    for (const char* column : {"TAFM", "TAHN", "TATO"}) {
        const QString v = txt(line, QString::fromLatin1(column) + QString::number(k)).trimmed();
        if (!v.isEmpty())
            parts << v;
    }
    return parts.join(QLatin1Char(' '));
}

// One print row of an order line of a hang-tag or care-label PO line.
QVariantList printRow(const QString& poNo, const QString& poKbn, const PoLine& p, const Row& line,
                      Masters& masters) {
    const Product product = masters.product(p.shoCd);
    const Row& h = p.header;
    const QString size = txt(line, "TASIZ");
    QVariantList v;
    v << poNo << poKbn << p.poGyou << whole(line, "ORD_NO") << whole(line, "GYOU") << p.kind << p.layout
      << p.hinban << p.shoCd << product.name1 << product.name2 << txt(line, "TACLT") << txt(line, "TALCL")
      << masters.sortLevel(size) << size << size << whole(line, "SU") << txt(line, "TALCN")
      << product.kemPrice1 << product.kemPrice2 << txt(line, "TABA1") << txt(line, "TAFCD")
      << txt(line, "TANM1") << txt(line, "TANM2") << txt(line, "TANM3");
    for (int i = 1; i <= 12; ++i)
        v << txt(line, QStringLiteral("TAPH%1").arg(i))
          << txt(line, QStringLiteral("TAPR%1").arg(i)) + txt(line, QStringLiteral("TAPP%1").arg(i));
    // Care symbols and term wordings belong to care labels only.
    const bool care = p.kind == kCar;
    const QString ehjNo = care ? txt(line, "EHJ") : QString();
    const Row symbols = masters.careSymbols(ehjNo);
    v << ehjNo;
    for (int i = 1; i <= 6; ++i)
        v << txt(symbols, QStringLiteral("EHJ%1").arg(i));
    v << txt(symbols, "EHJ_HENKAN");
    for (int i = 1; i <= 8; ++i)
        v << (care ? masters.termWording(txt(line, QStringLiteral("FUKI%1").arg(i))) : QString());
    v << txt(h, "IRAI_NO") << txt(h, "NOU_CD") << txt(h, "NOU_NM") << txt(h, "KIBO_DATE")
      << whole(h, "ORD_DATE");
    v << joined(line, 1) << joined(line, 2) << joined(line, 3) << txt(line, "TASTF") << txt(line, "TASTH")
      << txt(line, "TASTO") << txt(line, "TAPHN") << txt(line, "TAMAK") << txt(line, "TACM")
      << product.shPrice;
    return v;
}

QVariantList skRow(const QString& poNo, const QString& poKbn, const PoLine& p, qint64 su, Masters& masters) {
    const Product product = masters.product(p.shoCd);
    const Row& h = p.header;
    const Row& first = p.lines.front();
    return {poNo,
            poKbn,
            p.poGyou,
            whole(h, "ORD_NO"),
            whole(first, "GYOU"),
            txt(h, "IRAI_NO"),
            txt(h, "NOU_CD"),
            txt(h, "NOU_NM"),
            p.kind,
            p.layout,
            p.hinban,
            p.shoCd,
            product.name1,
            product.name2,
            su,
            product.shPrice,
            product.kemPrice1,
            product.kemPrice2};
}

QString insertSql(const QString& table, const QStringList& columns) {
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    return QStringLiteral("Insert Into %1 (%2) Values (%3)")
        .arg(table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
}

// Replaces the PO's rows of the table in one transaction (the caller's, when one is open).
void replaceRows(db::Connection& c, const QString& table, const QStringList& columns, const QString& poNo,
                 const QString& poKbn, const std::vector<QVariantList>& rows) {
    std::optional<db::Transaction> tx;
    if (!c.inTransaction())
        tx.emplace(c);
    c.execute(QStringLiteral("Delete From %1 Where PO_NO = ? And PO_KBN = ?").arg(table), {poNo, poKbn});
    const QString sql = insertSql(table, columns);
    for (const QVariantList& row : rows)
        c.execute(sql, row);
    if (tx)
        tx->commit();
}

bool poArguments(db::ProcedureCall& call, QString& poNo, QString& poKbn) {
    poNo = call.input(QStringLiteral("@PoNo")).toString();
    poKbn = call.input(QStringLiteral("@PoKbn")).toString();
    if (!poNo.trimmed().isEmpty())
        return true;
    call.setOutput(QStringLiteral("@errMsg"), QStringLiteral("PO番号(@PoNo)が指定されていません。"));
    return false;
}

} // namespace

void setOfficeConnectionResolver(OfficeConnectionResolver r) {
    officeResolver() = r ? std::move(r) : OfficeConnectionResolver(defaultOffice);
}

QString safeLayoutName(const QString& text) {
    static const QRegularExpression safe(QStringLiteral("^[A-Za-z_][A-Za-z0-9_-]{0,39}$"));
    static const QRegularExpression device(QStringLiteral("^(CON|PRN|AUX|NUL|COM[0-9]|LPT[0-9])$"),
                                           QRegularExpression::CaseInsensitiveOption);
    if (safe.match(text).hasMatch() && !device.match(text).hasMatch() &&
        !text.startsWith(QLatin1String("xml"), Qt::CaseInsensitive))
        return text;
    QString ascii;
    for (const QChar ch : text) {
        const bool keep = (ch >= QLatin1Char('A') && ch <= QLatin1Char('Z')) ||
                          (ch >= QLatin1Char('a') && ch <= QLatin1Char('z')) ||
                          (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) || ch == QLatin1Char('-');
        if (keep)
            ascii += ch;
        else if (!ascii.endsWith(QLatin1Char('_')))
            ascii += QLatin1Char('_');
    }
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1).toHex().left(8).toUpper());
    QString part = ascii.left(24);
    if (!part.isEmpty() && !part.endsWith(QLatin1Char('_')))
        part += QLatin1Char('_');
    return QStringLiteral("L_") + part + hash;
}

int kem_csvdatamake_main(db::ProcedureCall& call) {
    QString poNo, poKbn;
    if (!poArguments(call, poNo, poKbn))
        return 1;
    db::Connection& c = call.connection();
    Masters masters(c);
    std::vector<QVariantList> rows;
    for (const PoLine& p : planPo(c, masters, poNo, poKbn)) {
        if (p.kind.isEmpty())
            continue; // accessory lines print nothing
        for (const Row& line : p.lines)
            rows.push_back(printRow(poNo, poKbn, p, line, masters));
    }
    replaceRows(c, QStringLiteral("rcv_csvdata"), csvColumns(), poNo, poKbn, rows);
    return 0;
}

int kem_skdatamake_main(db::ProcedureCall& call) {
    QString poNo, poKbn;
    if (!poArguments(call, poNo, poKbn))
        return 1;
    db::Connection& c = call.connection();
    Masters masters(c);
    std::vector<PoLine> plan = planPo(c, masters, poNo, poKbn);

    // The print rows give the line numbers and quantities of the hang-tag and care-label lines.
    std::map<std::tuple<qint64, QString, qint64>, qint64> lineOf; // (ORD_NO, kind, GYOU) -> PO_GYOU
    std::map<qint64, qint64> quantity;                            // PO_GYOU -> sum of SU
    std::size_t printRows = 0;
    for (const Row& r :
         readRows(c,
                  QStringLiteral("Select PO_GYOU, ORD_NO, GYOU, HINSYU_CD, SU From rcv_csvdata "
                                 "Where PO_NO = ? And PO_KBN = ?"),
                  {poNo, poKbn})) {
        ++printRows;
        lineOf[{whole(r, "ORD_NO"), txt(r, "HINSYU_CD"), whole(r, "GYOU")}] = whole(r, "PO_GYOU");
        quantity[whole(r, "PO_GYOU")] += whole(r, "SU");
    }
    bool consistent = true;
    std::size_t expectedRows = 0;
    std::set<qint64> used;
    for (PoLine& p : plan) {
        if (p.kind.isEmpty())
            continue;
        expectedRows += p.lines.size();
        std::optional<qint64> number;
        for (const Row& line : p.lines) {
            const auto it = lineOf.find({whole(line, "ORD_NO"), p.kind, whole(line, "GYOU")});
            if (it == lineOf.end() || (number && *number != it->second))
                consistent = false;
            else
                number = it->second;
        }
        if (number)
            p.poGyou = int(*number);
    }
    for (const PoLine& p : plan)
        consistent = consistent && used.insert(p.poGyou).second;
    if (!consistent || printRows != expectedRows) {
        call.setOutput(QStringLiteral("@errMsg"),
                       QStringLiteral("PO番号(%1)の印刷データ(rcv_csvdata)が発注データと一致しません。"
                                      "CSVテーブルを作成し直してください。")
                           .arg(poNo));
        return 1;
    }
    std::sort(plan.begin(), plan.end(), [](const PoLine& a, const PoLine& b) { return a.poGyou < b.poGyou; });
    std::vector<QVariantList> rows;
    for (const PoLine& p : plan)
        rows.push_back(skRow(poNo, poKbn, p,
                             p.kind.isEmpty() ? whole(p.lines.front(), "SURYOKEI") : quantity[p.poGyou],
                             masters));
    replaceRows(c, QStringLiteral("rcv_skdata"), skColumns(), poNo, poKbn, rows);
    return 0;
}

void registerPoRowProcedures(db::ProcedureRegistry& registry) {
    if (!registry.find(QStringLiteral("kem_csvdatamake_main")))
        registry.add(QStringLiteral("kem_csvdatamake_main"), kem_csvdatamake_main);
    if (!registry.find(QStringLiteral("kem_skdatamake_main")))
        registry.add(QStringLiteral("kem_skdatamake_main"), kem_skdatamake_main);
}

} // namespace kemnoa::maintenance
