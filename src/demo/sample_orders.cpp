#include "demo/sample_orders.h"

#include "demo/demo_data.h"

namespace kemnoa::demo {
namespace {

using jet::Value;

Value txt(const QString& s) {
    return Value::text(s);
}
Value num(qint64 n) {
    return Value::integer(n);
}

FileRow lineRow(qint32 ordNo, int gyou, bool care) {
    static const char* const kHinban[] = {"KM-2401", "KM-2402", "LT-3310", "BS-0077"};
    static const char* const kColor[] = {"ブラック", "ネイビー", "オフホワイト", "チャコール"};
    FileRow r;
    r[QStringLiteral("TACD")] = txt(QStringLiteral("01"));
    r[QStringLiteral("TAID")] = txt(QString::number(ordNo * 100 + gyou));
    r[QStringLiteral("TAHIN")] = txt(QString::fromUtf8(kHinban[gyou % 4]));
    r[QStringLiteral("TAINO")] = txt(QStringLiteral("IR%1").arg(ordNo));
    // The third tag code of every three has no conversion row.
    static const char* const kTags[] = {ClientTagCodes[0], ClientTagCodes[1], "CT-99"};
    r[QStringLiteral("TAFCD")] = txt(QString::fromLatin1(kTags[(gyou - 1) % 3]));
    r[QStringLiteral("TACLT")] = txt(QString::fromUtf8(kColor[gyou % 4]));
    r[QStringLiteral("TAPHN")] =
        txt(QStringLiteral("ＫＭ－２４０%1　Ｍサイズ").arg(QChar(0xFF10 + gyou % 10)));
    r[QStringLiteral("TANM1")] = txt(QStringLiteral("レディース　ニットカーディガン"));
    r[QStringLiteral("TANM2")] = txt(QStringLiteral("婦人服"));
    r[QStringLiteral("TAPH1")] = txt(QStringLiteral("綿"));
    r[QStringLiteral("TAPR1")] = num(80);
    r[QStringLiteral("TAPP1")] = txt(QStringLiteral("％"));
    r[QStringLiteral("TAPH2")] = txt(QStringLiteral("ポリウレタン"));
    r[QStringLiteral("TAPR2")] = num(20);
    r[QStringLiteral("TAPP2")] = txt(QStringLiteral("％"));
    for (int k = 3; k <= 12; ++k) {
        r[QStringLiteral("TAPH%1").arg(k)] = txt(QString());
        r[QStringLiteral("TAPR%1").arg(k)] = num(0);
        r[QStringLiteral("TAPP%1").arg(k)] = txt(QString());
    }
    r[QStringLiteral("TASIZ")] = txt(QStringLiteral("M"));
    r[QStringLiteral("TAMEN")] = txt(QStringLiteral("中国製"));
    r[QStringLiteral("ORD_NO")] = num(ordNo);
    r[QStringLiteral("GYOU")] = num(gyou);
    r[QStringLiteral("EHJ")] = txt(care ? QString::fromLatin1(CareSymbolSets[0]) : QString());
    r[QStringLiteral("SU")] = num(100 + 10 * gyou);
    r[QStringLiteral("FUKI1")] = txt(care ? QString::fromLatin1(TermNumbers[0]) : QString());
    r[QStringLiteral("FUKI2")] = txt(QString());
    return r;
}

} // namespace

BuiltOrder sampleOrder(qint32 ordNo, int lines) {
    BuiltOrder o;
    FileRow& h = o.header;
    h[QStringLiteral("ORD_NO")] = num(ordNo);
    h[QStringLiteral("REC_TYPE")] = txt(QStringLiteral("1"));
    h[QStringLiteral("REC_KBN")] = txt(QStringLiteral("0"));
    h[QStringLiteral("IRAI_NO")] = txt(QString::number(ordNo)); // request numbers are numbers
    h[QStringLiteral("ORD_DATE")] = num(20240115);
    h[QStringLiteral("KIBO_DATE")] = txt(QStringLiteral("20240220"));
    h[QStringLiteral("SIR_CD")] = txt(QStringLiteral("S0012"));
    h[QStringLiteral("SIR_NM")] = txt(QStringLiteral("株式会社ファーンアパレル"));
    h[QStringLiteral("SIR_BUSHO_NM")] = txt(QStringLiteral("生産管理部"));
    h[QStringLiteral("SIR_TANTO_NM")] = txt(QStringLiteral("山田 花子"));
    h[QStringLiteral("SIR_POST_NO")] = txt(QStringLiteral("460-0008"));
    h[QStringLiteral("SIR_ADR1")] = txt(QStringLiteral("愛知県名古屋市中区栄3-1-1"));
    h[QStringLiteral("SIR_ADR2")] = txt(QStringLiteral("栄ビル5F"));
    h[QStringLiteral("SIR_TEL")] = txt(QStringLiteral("052-000-1111"));
    h[QStringLiteral("NOU_CD")] = txt(QString::fromLatin1(DestinationCodes[0]));
    h[QStringLiteral("NOU_NM")] = txt(QStringLiteral("上海物流センター"));
    h[QStringLiteral("NOU_ADR1")] = txt(QStringLiteral("上海市浦東新区"));
    h[QStringLiteral("KESSAI")] = txt(QStringLiteral("日本決済"));
    h[QStringLiteral("SHKA_PLACE")] = txt(QStringLiteral("上海"));
    h[QStringLiteral("ENTRY_DATE")] = txt(QStringLiteral("2024/01/15 10:20:30"));
    h[QStringLiteral("UPDATE_DATE")] = txt(QStringLiteral("2024/01/15 10:20:30"));
    h[QStringLiteral("BIKO1")] = txt(QString());
    for (int g = 1; g <= lines; ++g) {
        o.pos.push_back(lineRow(ordNo, g, false));
        o.car.push_back(lineRow(ordNo, g, true));
    }
    FileRow af;
    af[QStringLiteral("ORD_NO")] = num(ordNo);
    af[QStringLiteral("GYOU")] = num(1);
    af[QStringLiteral("FUKI_SU")] = num(1);
    af[QStringLiteral("FUKI1")] = txt(QString::fromLatin1(TermNumbers[1]));
    o.addFuki.push_back(af);
    FileRow fz;
    fz[QStringLiteral("ORD_NO")] = num(ordNo);
    fz[QStringLiteral("GYOU")] = num(1);
    fz[QStringLiteral("NAME_NM")] = txt(QString::fromUtf8(NameTypes[0]));
    fz[QStringLiteral("SIZAI_CD")] = txt(QString::fromLatin1(MaterialCodes[0]));
    fz[QStringLiteral("SIZAI_NM")] = txt(QStringLiteral("朱子織ネーム 白"));
    fz[QStringLiteral("TITLEKEI")] = txt(QStringLiteral("合計"));
    fz[QStringLiteral("SURYOKEI")] = num(300);
    fz[QStringLiteral("TITLEMUJI")] = txt(QStringLiteral("ムジ"));
    fz[QStringLiteral("SURYOMUJI")] = num(100);
    fz[QStringLiteral("TITLE1")] = txt(QStringLiteral("S"));
    fz[QStringLiteral("SURYO1")] = num(100);
    fz[QStringLiteral("TITLE2")] = txt(QStringLiteral("M"));
    fz[QStringLiteral("SURYO2")] = num(100);
    for (int k = 3; k <= 10; ++k)
        fz[QStringLiteral("SURYO%1").arg(k)] = num(0);
    o.fuzoku.push_back(fz);
    return o;
}

FileRow sampleEhj(int id, const QString& ehjNo, const QString& syori) {
    FileRow r;
    r[QStringLiteral("id")] = num(id);
    r[QStringLiteral("EHJ_NO")] = txt(ehjNo);
    const char* codes[] = {"101", "202", "305", "401", "502", "601"};
    for (int k = 0; k < 6; ++k)
        r[QStringLiteral("EHJ%1").arg(k + 1)] = txt(QString::fromLatin1(codes[k]));
    r[QStringLiteral("B01")] = txt(QStringLiteral("ドライクリーニング可"));
    r[QStringLiteral("UPD")] = txt(QStringLiteral("2024/01/10 09:00:00"));
    r[QStringLiteral("SYORI_FLG")] = txt(syori);
    return r;
}

FileRow sampleFuki(int id, const QString& fukiNo, const QString& syori) {
    FileRow r;
    r[QStringLiteral("id")] = num(id);
    r[QStringLiteral("FUKI_NO")] = txt(fukiNo);
    r[QStringLiteral("FUKI_NAIYO")] = txt(QStringLiteral("濡れたまま放置しないでください"));
    r[QStringLiteral("UPD")] = txt(QStringLiteral("2024/01/10 09:00:00"));
    r[QStringLiteral("SYORI_FLG")] = txt(syori);
    return r;
}

OrderFileData orderFileData(const BuiltFile& file) {
    OrderFileData data;
    auto rowsOf = [&](const QString& table) {
        std::vector<FileRow> rows;
        for (const BuiltOrder& o : file.orders) {
            if (table == QLatin1String("denheaddata"))
                rows.push_back(o.header);
            const std::vector<FileRow>* lines = table == QLatin1String("posdata")       ? &o.pos
                                                : table == QLatin1String("cardata")     ? &o.car
                                                : table == QLatin1String("addfukidata") ? &o.addFuki
                                                : table == QLatin1String("fuzokudata")  ? &o.fuzoku
                                                                                        : nullptr;
            if (lines)
                rows.insert(rows.end(), lines->begin(), lines->end());
        }
        if (table == QLatin1String("snd_mst_ehj"))
            rows = file.ehj;
        else if (table == QLatin1String("snd_mst_fuki"))
            rows = file.fuki;
        return rows;
    };
    Damage damage;
    for (const QString& table : orderFileTables()) {
        FileTable t{table, orderFileColumns(table, file.style), {}};
        for (const FileRow& r : rowsOf(table)) {
            jet::Row values;
            values.reserve(t.columns.size());
            for (const auto& c : t.columns) {
                jet::Value v = r.value(c.name);
                // A number given for a column the style declares text is written as its text.
                if (c.type != jet::ColumnType::Long && v.kind() == jet::Value::Kind::Integer)
                    v = jet::Value::text(v.toText());
                values.push_back(std::move(v));
            }
            t.rows.push_back(std::move(values));
        }
        data.tables.push_back(std::move(t));
        if (file.omitTables.contains(table))
            damage.omitTables << table;
        for (const QString& column : file.omitColumns.value(table))
            damage.droppedColumns.push_back({table, column});
    }
    for (const BuiltOrder& o : file.orders)
        data.orderNumbers.push_back(qint32(o.header.value(QStringLiteral("ORD_NO")).asInt64()));
    applyDamage(data, damage);
    return data;
}

void writeOrderFile(const QString& path, const BuiltFile& file) {
    writeOrderFile(path, orderFileData(file));
}

} // namespace kemnoa::demo
