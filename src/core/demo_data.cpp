#include "core/demo_data.h"

#include "core/session.h"
#include "platform/db/reader.h"

#include <QList>

namespace kemnoa::core::demo {

namespace {

struct TableRows {
    QString table;
    QStringList columns;
    QList<QVariantList> rows;
};

QString u(const char* text) {
    return QString::fromUtf8(text);
}

QVariantList texts(std::initializer_list<const char*> values) {
    QVariantList out;
    for (const char* v : values)
        out << (v ? QVariant(u(v)) : QVariant());
    return out;
}

QList<TableRows> workTables() {
    QList<TableRows> out;

    TableRows setting{QStringLiteral("kem_setting"), {u("検索条件"), u("検索値")}, {}};
    const char* values[] = {BillingPartyCode,
                            "株式会社ケムノア",
                            "東京都中央区日本橋一丁目2番3号",
                            "ケムノア日本橋ビル5階",
                            "海外調達部",
                            "佐藤 花子",
                            "03-1234-5678",
                            "03-1234-5679",
                            CustomerCode,
                            "株式会社ケムノア",
                            "H0001",
                            "フェルン株式会社",
                            "愛知県名古屋市中区栄二丁目3番4号",
                            "栄センタービル3階",
                            "052-123-4567",
                            "052-123-4568",
                            "order@fern.example.jp",
                            "鈴木 一郎",
                            "名古屋営業部",
                            "田中 次郎",
                            "1234",
                            "KEMNOA",
                            "ケムノア専用海外発注システム"};
    const QStringList& keys = fixedInfoKeys();
    for (int i = 0; i < keys.size(); ++i)
        setting.rows << QVariantList{keys.at(i), u(values[i])};
    out << setting;

    TableRows namecode{QStringLiteral("kemmst_namecode"), {QStringLiteral("name_nm")}, {}};
    for (const char* n : NameTypes)
        namecode.rows << QVariantList{u(n)};
    out << namecode;

    out << TableRows{QStringLiteral("kemmst_sizaicode"),
                     {QStringLiteral("name_nm"), QStringLiteral("sizai_cd"), QStringLiteral("sizai_nm")},
                     {texts({"下札", "T-100", "下札 白 50x90"}),
                      texts({"下札", "T-110", "下札 クラフト 50x90"}),
                      texts({"洗濯ネーム", "C-200", "洗濯ネーム サテン 30mm"}),
                      texts({"洗濯ネーム", "C-210", "洗濯ネーム ナイロンタフタ 25mm"}),
                      texts({"織ネーム", "W-300", "織ネーム ブランド 60x20"}),
                      texts({"ピスネーム", "P-400", "ピスネーム 10x40"})}};

    TableRows size{
        QStringLiteral("kemmst_size"), {QStringLiteral("size_value"), QStringLiteral("sort_lv")}, {}};
    const int order[] = {10, 20, 30, 40, 50, 90};
    for (int i = 0; i < 6; ++i)
        size.rows << QVariantList{u(Sizes[i]), order[i]};
    out << size;

    const QStringList ehjColumns = {u("EHJ_NO"), u("EHJ1"), u("EHJ2"), u("EHJ3"),      u("EHJ4"),
                                    u("EHJ5"),   u("EHJ6"), u("B01"),  u("B02"),       u("B03"),
                                    u("B04"),    u("B05"),  u("UPD"),  u("EHJ_HENKAN")};
    out << TableRows{QStringLiteral("kemmst_ehj"),
                     ehjColumns,
                     {texts({"E0001", "1030", "2010", "3011", "4010", "5010", "6010", "", "", "", "", "",
                             "2024/04/01 09:00:00", "A01"}),
                      texts({"E0002", "1050", "2020", "3021", "4020", "5011", "", "", "", "", "", "",
                             "2024/04/01 09:00:00", "A02"}),
                      texts({"E0003", "1071", "2020", "3040", "4030", "", "", "手洗い", "", "", "", "",
                             "2024/04/02 10:30:00", "B01"}),
                      texts({"E0004", "1041", "2010", "3012", "5020", "6030", "", "", "", "", "", "",
                             "2024/04/03 14:15:00", "B02"})}};

    out << TableRows{
        QStringLiteral("kemmst_fuki"),
        {u("FUKI_NO"), u("FUKI_NAIYO"), u("B01"), u("B02"), u("B03"), u("B04"), u("B05"), u("UPD")},
        {texts({"F0001", "洗濯ネットを使用してください", "", "", "", "", "", "2024/04/01 09:00:00"}),
         texts({"F0002", "濃色のものは色落ちすることがありますので、他のものと分けて洗ってください", "", "",
                "", "", "", "2024/04/01 09:00:00"}),
         texts({"F0003", "タンブル乾燥はお避けください", "", "", "", "", "", "2024/04/01 09:00:00"}),
         texts({"F0004", "中性洗剤を使用してください", "", "", "", "", "", "2024/04/02 10:30:00"}),
         texts({"F0005", "裏返しにして洗ってください", "", "", "", "", "", "2024/04/02 10:30:00"})}};

    TableRows tag{QStringLiteral("tagcd_henkan"), {u("TAFCD"), u("TAG_CD")}, {}};
    for (int i = 0; i < 3; ++i)
        tag.rows << QVariantList{u(ClientTagCodes[i]), u(CompanyTagCodes[i])};
    out << tag;
    return out;
}

QList<TableRows> poTables() {
    QList<TableRows> out;
    out << TableRows{
        QStringLiteral("MST_VORLIK_C"),
        {u("会社CD"), u("会社名"), u("会社住所1"), u("会社住所2"), u("会社TEL番号"), u("会社FAX番号"),
         u("会社MAIL"), u("会社部門"), u("会社担当者")},
        {texts({"V001", "上海芬隆制衣輔料有限公司", "上海市松江区新橋鎮123号", "2号楼3階", "+86-21-5768-0001",
                "+86-21-5768-0002", "sh@fern.example.cn", "生産管理部", "王 明"}),
         texts({"V002", "大連芬隆標簽有限公司", "大連市甘井子区工業路45号", "", "+86-411-8888-0001",
                "+86-411-8888-0002", "dl@fern.example.cn", "業務部", "李 華"})}};

    const QStringList nouhinColumns = {u("NOUCD"),     u("NOUKYAKU_CD"), u("TOKCD"),     u("NOU_NM"),
                                       u("NOU1_AD"),   u("NOU2_AD"),     u("NOU_TEL"),   u("NOU_FAX"),
                                       u("NOU_BUNM"),  u("NOU_TNM"),     u("NOUCYU_NM"), u("NOUCYU1_AD"),
                                       u("NOUCYU2_AD")};
    out << TableRows{
        QStringLiteral("MST_NOUHIN"),
        nouhinColumns,
        {QVariantList{101} +
             texts({DestinationCodes[0], CustomerCode, "ケムノア東京物流センター",
                    "東京都江東区新木場四丁目5番6号", "", "03-5500-1001", "03-5500-1002", "入荷課", "高橋 誠",
                    "凯姆诺亚东京物流中心", "东京都江东区新木场4-5-6", ""}),
         QVariantList{102} + texts({DestinationCodes[1], CustomerCode, "ケムノア大阪倉庫",
                                    "大阪府大阪市住之江区南港北一丁目7番8号", "南港倉庫2号棟", "06-6600-2001",
                                    "06-6600-2002", "物流課", "山本 恵", "凯姆诺亚大阪仓库",
                                    "大阪府大阪市住之江区南港北1-7-8", "南港仓库2号楼"}),
         QVariantList{103} +
             texts({DestinationCodes[2], CustomerCode, "ケムノア上海配送センター", "上海市浦東新区張江路88号",
                    "", "+86-21-6800-3001", "+86-21-6800-3002", "配送部", "陳 静", "凯姆诺亚上海配送中心",
                    "上海市浦东新区张江路88号", ""})}};

    const QStringList infoColumns = {
        u("SEICD"),         u("TOKCD"),        u("NOUCD"),        u("HACYUGAISYACD"), u("TUUKANM"),
        u("TATENENM"),      u("HANBAINM"),     u("UNCHINKBN"),    u("NOUHINNM"),      u("UNCHINKAKUNINNM"),
        u("LOSSSEIKYUKBN"), u("LOSSPAR"),      u("SYUKKANM"),     u("SYUSEKINM"),     u("KESSAIKEIRO1"),
        u("KESSAIKEIRO2"),  u("KESSAIKEIRO3"), u("KESSAIKEIRO4"), u("KESSAIKEIRO5"),  u("BIKO1NM"),
        u("BIKO2NM"),       u("BIKO3NM"),      u("BIKO4NM"),      u("BIKO5NM"),       u("CASEMARK")};
    auto info = [&](int noucd, const char* partner, const char* currency, int freight, int loss,
                    double lossRate, const char* shipping) {
        return QVariantList{u(BillingPartyCode),
                            u(CustomerCode),
                            noucd,
                            u(partner),
                            u(currency),
                            u("FOB"),
                            u("直送"),
                            freight,
                            u("一括納品"),
                            u("元払い"),
                            loss,
                            lossRate,
                            u(shipping),
                            u("上海"),
                            u("上海芬隆"),
                            u("フェルン"),
                            u("ケムノア"),
                            u(""),
                            u(""),
                            u("検品後出荷"),
                            u(""),
                            u(""),
                            u(""),
                            u("納期厳守"),
                            u("KEMNOA / MADE IN CHINA")};
    };
    out << TableRows{QStringLiteral("TABLE_NOUHIN_INFO"),
                     infoColumns,
                     {info(101, "V001", "JPY", 1, 0, 1.0, "航空便"),
                      info(102, "V001", "JPY", 0, 1, 2.5, "船便"),
                      info(103, "V002", "CNY", 0, 0, 1.0, "トラック")}};

    out << TableRows{QStringLiteral("HcyCd_Find"),
                     {u("NOUKYAKU_CD"), u("TOKCD"), u("SEICD"), u("HACYUGAISYACD")},
                     {texts({DestinationCodes[0], CustomerCode, BillingPartyCode, "V001"}),
                      texts({DestinationCodes[1], CustomerCode, BillingPartyCode, "V001"}),
                      texts({DestinationCodes[2], CustomerCode, BillingPartyCode, "V002"})}};
    return out;
}

QList<TableRows> officeTables() {
    QList<TableRows> out;
    out << TableRows{QStringLiteral("FSHOWK"),
                     {u("SHO011"), u("SHO032"), u("SHO033")},
                     {texts({"8710001", "下札", "白 50x90"}), texts({"8710002", "下札", "クラフト 50x90"}),
                      texts({"8710003", "洗濯ネーム", "サテン 30mm"}),
                      texts({"8710004", "洗濯ネーム", "ナイロンタフタ 25mm"}),
                      texts({"8710005", "織ネーム", "ブランド 60x20"}),
                      texts({"8710006", "ピスネーム", "10x40"}), texts({"9910001", "梱包資材", "段ボール"})}};
    out << TableRows{
        QStringLiteral("FSKNPF"),
        {u("SKN011"), u("SKN031_1"), u("SKN031_9"), u("SKN031_10")},
        {QVariantList{u("8710001"), u("T-100"), 4.5, 2.1}, QVariantList{u("8710002"), u("T-110"), 5.0, 2.4},
         QVariantList{u("8710003"), u("C-200"), 3.2, 1.35}, QVariantList{u("8710004"), u("C-210"), 2.8, 1.2},
         QVariantList{u("8710005"), QVariant(), 12.0, 6.0}, // no material: not listed
         QVariantList{u("8710006"), u("P-400"), 1.5, 0.6},
         QVariantList{u("9910001"), u("X-999"), 80.0, 40.0}}};
    out << TableRows{QStringLiteral("FSHJWK1"),
                     {u("SHJ011"), u("SHJ012"), u("SHJ032")},
                     {QVariantList{u("8710001"), u("0"), 4.2}, QVariantList{u("8710002"), u("0"), 4.8},
                      QVariantList{u("8710003"), u("0"), 3.0}, QVariantList{u("8710004"), u("0"), 2.6},
                      QVariantList{u("8710005"), u("0"), 11.5},
                      QVariantList{u("8710006"), u("0"), 0}, // no submitted price: not listed
                      QVariantList{u("9910001"), u("0"), 75.0}}};
    return out;
}

bool isEmpty(db::Connection& connection, const QString& table) {
    db::Reader r = connection.read(QStringLiteral("Select Count(*) From ") + table);
    return r.atEnd() || r.value(0).toLongLong() == 0;
}

} // namespace

SeedResult seed(db::Connection& connection, db::DatabaseKind kind) {
    QList<TableRows> tables;
    switch (kind) {
    case db::DatabaseKind::Work:
        tables = workTables();
        break;
    case db::DatabaseKind::Po:
        tables = poTables();
        break;
    case db::DatabaseKind::Office:
        tables = officeTables();
        break;
    case db::DatabaseKind::Sk:
        break; // filled by the PO creation run only
    }
    SeedResult result;
    db::Transaction tx(connection);
    for (const TableRows& t : tables) {
        if (!isEmpty(connection, t.table)) {
            result.skipped << t.table;
            continue;
        }
        QStringList marks;
        for (int i = 0; i < t.columns.size(); ++i)
            marks << QStringLiteral("?");
        const QString sql = QStringLiteral("Insert Into ") + t.table + QStringLiteral(" (") +
                            t.columns.join(QLatin1Char(',')) + QStringLiteral(") Values (") +
                            marks.join(QLatin1Char(',')) + QLatin1Char(')');
        for (const QVariantList& row : t.rows)
            connection.execute(sql, row);
        result.filled << t.table;
    }
    tx.commit();
    return result;
}

} // namespace kemnoa::core::demo
