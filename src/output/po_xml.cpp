#include "output/po_xml.h"

#include "core/error.h"
#include "output/package_run.h"
#include "platform/db/catalogue.h"
#include "platform/db/sql_text.h"
#include "platform/text/cp932.h"

#include <QFileInfo>
#include <QSaveFile>
#include <span>

namespace kemnoa::output {
namespace {

const QString kTitle = QStringLiteral("MF_PoXmlMake");

// A name from data or settings that cannot become an element name: the step fails naming it.
class NameError : public core::Error {
public:
    NameError(const QString& what, const QString& name)
        : core::Error(what + QStringLiteral("(") + name +
                          QStringLiteral(")はXMLの要素名に使えないため、XMLファイルを作成できません。"),
                      core::errnum::General) {}
};

// The element of a database: its name in the settings; a SQLite database is named after its file.
QString databaseElementName(const db::Connection& c) {
    const QString name = c.settings().database;
    return c.dialect() == db::Dialect::SQLite ? QFileInfo(name).completeBaseName() : name;
}

struct TableQuery {
    const char* table;
    const char* keyColumn; // the attribute naming the PO, and the column it selects
    const char* orderBy;
};

const TableQuery kPoTables[] = {{"TBL_PO_H", "PO番号", ""}, {"TBL_PO_M", "PO番号", " Order By PO行"}};
const TableQuery kSkTables[] = {
    {"TBL_H", "PO", " Order By NO"},        {"TBL_NJ", "PO", " Order By NO"},
    {"TBL_QUA", "PO", " Order By NO,LINE"}, {"TBL_SJ", "PO", " Order By NO,LINE"},
    {"TBL_SKU", "PO", " Order By NO,LINE"}, {"TBL_TOTAL", "PO", " Order By NO"},
    {"TBL_YJ", "PO", " Order By NO,LINE"},
};
const TableQuery kWorkTables[] = {{"rcv_denheaddata", "PO_NO", " Order By ORD_NO"},
                                  {"rcv_skdata", "PO_NO", " Order By PO_KBN,PO_GYOU,ORD_NO,GYOU"}};

void writeDatabase(XmlWriter& xml, db::Connection& c, const QString& element,
                   std::span<const TableQuery> tables, const QString& poNo) {
    xml.start(element);
    for (const TableQuery& t : tables) {
        const QString table = QString::fromUtf8(t.table);
        const QString key = QString::fromUtf8(t.keyColumn);
        xml.start(table, {{key, poNo}});
        db::Reader rows = c.read(QStringLiteral("Select * From ") + table + QStringLiteral(" Where ") + key +
                                     QStringLiteral(" = ?") + QString::fromUtf8(t.orderBy),
                                 {poNo});
        MF_TableXmlWrite(rows, table, xml);
        xml.end();
    }
    xml.end();
}

const QString kCsvSelect = QStringLiteral("Select * From rcv_csvdata Where PO_NO = ? And PO_KBN = ? ");
const QString kCsvOrder = QStringLiteral("Order By PO_NO,PO_GYOU,HINBAN,COLOR_NO,SORT_LV ");

// The select of a list file: list number, PO number, PO line, work text, product code, product number,
// names 1 and 2, layout, quantity.
QString listSelect(const QString& list, const QString& work, const QString& product, const QString& layout) {
    return QStringLiteral("Select '%1',PO_NO,PO_GYOU,'%2',SHO_CD,%3,SHO_NM1,SHO_NM2,%4,SU From rcv_skdata "
                          "Where PO_NO = ? And PO_KBN = ? ")
        .arg(list, work, product, layout);
}

void writeFiles(XmlWriter& xml, db::Connection& work, const QString& poNo, const QString& poKbn,
                const QStringList& layouts) {
    xml.start(QStringLiteral("ファイル"));
    for (const QString& layout : layouts) {
        db::Reader rows =
            work.read(kCsvSelect + QStringLiteral("And LAYOUT = ? And HINSYU_CD = 'TAG' ") + kCsvOrder,
                      {poNo, poKbn, layout});
        MF_CsvLinesWrite(rows, 79, layout + QStringLiteral(".csv"), QString(), true, &xml);
    }
    {
        db::Reader rows =
            work.read(kCsvSelect + QStringLiteral("And HINSYU_CD = 'CAR' ") + kCsvOrder, {poNo, poKbn});
        MF_CsvLinesWrite(rows, 79, QStringLiteral("洗濯.csv"), QString(), true, &xml);
    }
    {
        const QString tag = listSelect(QStringLiteral("001"), QStringLiteral("ﾀｸﾞ印字"),
                                       QStringLiteral("HINBAN"), QStringLiteral("LAYOUT"));
        const QString car = listSelect(QStringLiteral("001"), QStringLiteral("洗濯ﾈｰﾑ印字"),
                                       QStringLiteral("HINBAN"), QStringLiteral("LAYOUT"));
        db::Reader rows = work.read(tag + QStringLiteral("And HINSYU_CD = 'TAG' Union ") + car +
                                        QStringLiteral("And HINSYU_CD = 'CAR' Order By PO_GYOU "),
                                    {poNo, poKbn, poNo, poKbn});
        MF_CsvLinesWrite(rows, 9, QStringLiteral("ASS001.csv"), QString(), true, &xml);
    }
    {
        db::Reader rows = work.read(listSelect(QStringLiteral("002"), QStringLiteral("ｱｿｰﾄ"),
                                               QStringLiteral("''"), QStringLiteral("''")) +
                                        QStringLiteral("And HINSYU_CD = '' Order By PO_GYOU "),
                                    {poNo, poKbn});
        MF_CsvLinesWrite(rows, 9, QStringLiteral("ASS002.csv"), QString(), true, &xml);
    }
    xml.end();
}

} // namespace

XmlColumnType xmlColumnType(const QString& table, const db::ColumnInfo& column) {
    if (const db::CatalogueTable* t = db::catalogueTable(table))
        if (const db::CatalogueColumn* c = t->column(column.name)) {
            switch (c->type) {
            case db::SqlType::Text:
                return {db::adotype::VarChar, c->size};
            case db::SqlType::Integer:
            case db::SqlType::Identity:
                return {db::adotype::Integer, 4};
            case db::SqlType::BigInt:
                return {db::adotype::BigInt, 8};
            case db::SqlType::Decimal:
                return {db::adotype::Numeric, c->size};
            }
        }
    return {column.adoType, column.definedSize};
}

void MF_TableXmlWrite(db::Reader& rows, const QString& table, XmlWriter& xml) {
    std::vector<std::pair<QString, XmlAttributes>> columns;
    for (int i = 0; i < rows.columnCount(); ++i) {
        const db::ColumnInfo& info = rows.column(i);
        const XmlColumnType type = xmlColumnType(table, info);
        if (!isWritableXmlName(info.name))
            throw NameError(QStringLiteral("列名"), info.name);
        columns.push_back({info.name,
                           {{QStringLiteral("TYPE"), QString::number(type.type)},
                            {QStringLiteral("LENGTH"), QString::number(type.length)}}});
    }
    bool any = false;
    for (; !rows.atEnd(); rows.moveNext()) {
        any = true;
        xml.start(QStringLiteral("DATA"));
        for (int i = 0; i < int(columns.size()); ++i) {
            const QVariant v = rows.value(i);
            try {
                xml.element(columns[size_t(i)].first, columns[size_t(i)].second,
                            db::isNull(v) ? QStringLiteral("NULL") : rows.text(i));
            } catch (const core::Error& e) {
                throw core::Error(e.description() + QStringLiteral(" (") + table + QLatin1Char('.') +
                                      columns[size_t(i)].first + QLatin1Char(')'),
                                  e.number());
            }
        }
        xml.end();
    }
    if (!any) {
        xml.start(QStringLiteral("DATA"));
        for (const auto& [name, attributes] : columns)
            xml.element(name, attributes, QString());
        xml.end();
    }
}

QString csvLine(const db::Reader& row, int lastColumn) {
    QString line;
    for (int i = 0; i <= lastColumn; ++i) {
        if (i > 0)
            line += QLatin1Char(',');
        line += QLatin1Char('"') + row.text(i) + QLatin1Char('"');
    }
    return line;
}

int MF_CsvLinesWrite(db::Reader& rows, int lastColumn, const QString& fileName, const QString& filePath,
                     bool xmlMode, XmlWriter* xml) {
    if (rows.columnCount() < lastColumn + 1 || rows.atEnd())
        return 0;
    int lines = 0;
    if (xmlMode) {
        if (!isWritableXmlName(fileName))
            throw NameError(QStringLiteral("ファイル名"), fileName);
        xml->start(fileName);
        for (; !rows.atEnd(); rows.moveNext(), ++lines) {
            try {
                xml->element(QStringLiteral("DATA"), {}, csvLine(rows, lastColumn));
            } catch (const core::Error& e) {
                throw core::Error(e.description() + QStringLiteral(" (") + fileName + QLatin1Char(')'),
                                  e.number());
            }
        }
        xml->end();
        return lines;
    }
    QByteArray bytes;
    for (; !rows.atEnd(); rows.moveNext(), ++lines) {
        bytes += text::toCp932(csvLine(rows, lastColumn));
        bytes += "\r\n";
    }
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw core::Error(QStringLiteral("ファイル(") + filePath + QStringLiteral(")に書き込めません。"),
                          core::errnum::PathFileAccess);
    return lines;
}

core::Outcome MF_PoXmlMake(PackageRun& run) {
    const QString path = run.poFolder + run.PkgPoNo + QStringLiteral(".xml");
    try {
        const QString poDb = databaseElementName(run.po), skDb = databaseElementName(run.sk),
                      workDb = databaseElementName(run.work);
        for (const QString& name : {poDb, skDb, workDb})
            if (!isWritableXmlName(name))
                throw NameError(QStringLiteral("データベース名"), name);
        QStringList layouts;
        for (db::Reader r =
                 run.work.read(QStringLiteral("Select LAYOUT From rcv_skdata Where PO_NO = ? And PO_KBN = ? "
                                              "And HINSYU_CD = 'TAG' Group By LAYOUT Order By LAYOUT "),
                               {run.PkgPoNo, run.PkgPoKbn});
             !r.atEnd(); r.moveNext()) {
            layouts << r.text(0);
            if (!isWritableXmlName(layouts.last() + QStringLiteral(".csv")))
                throw NameError(QStringLiteral("レイアウト"), layouts.last());
        }

        XmlWriter xml;
        xml.start(QStringLiteral("ケムノア"));
        xml.element(QStringLiteral("PO番号"), {}, run.PkgPoNo);
        xml.start(QStringLiteral("データベース"));
        writeDatabase(xml, run.po, poDb, kPoTables, run.PkgPoNo);
        writeDatabase(xml, run.sk, skDb, kSkTables, run.PkgPoNo);
        writeDatabase(xml, run.work, workDb, kWorkTables, run.PkgPoNo);
        xml.end();
        writeFiles(xml, run.work, run.PkgPoNo, run.PkgPoKbn, layouts);
        xml.end();
        const QByteArray bytes = xml.finish();

        QSaveFile file(path); // appears under its name only when complete
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            throw core::Error(QStringLiteral("ファイル(") + path + QStringLiteral(")に書き込めません。"),
                              core::errnum::PathFileAccess);
        return core::Outcome::Done;
    } catch (const NameError& e) {
        run.prompter.message(e.description(), kTitle, core::MsgIcon::Critical);
    } catch (const core::Error& e) {
        run.prompter.message(e.text(), kTitle, core::MsgIcon::Critical);
    }
    return core::Outcome::Failed;
}

} // namespace kemnoa::output
