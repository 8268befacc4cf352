#include "demo/demo_data.h"

#include "core/session.h"
#include "platform/db/reader.h"

#include <QList>

namespace kemnoa::demo {

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

// Print layouts and label products of the PO rows: each company tag code prints with its own layout
// on a hang-tag stock; other tag codes keep their code as layout; care labels share one layout.
TableRows labelLayouts() {
    TableRows t{
        QStringLiteral("kem_label_layout"), {u("HINSYU_CD"), u("TAG_CD"), u("LAYOUT"), u("SHO_CD")}, {}};
    for (int i = 0; i < 5; ++i)
        t.rows << texts({"TAG", CompanyTagCodes[i], CompanyTagCodes[i], ProductCodes[i % 2]});
    t.rows << texts({"TAG", "", "", ProductCodes[0]}) << texts({"CAR", "", "CARE-STD", ProductCodes[4]});
    return t;
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
    const QStringList& keys = core::fixedInfoKeys();
    for (int i = 0; i < keys.size(); ++i)
        setting.rows << QVariantList{keys.at(i), u(values[i])};
    out << setting;

    TableRows namecode{QStringLiteral("kemmst_namecode"), {QStringLiteral("name_nm")}, {}};
    for (const char* n : NameTypes)
        namecode.rows << QVariantList{u(n)};
    out << namecode;

    TableRows sizaicode{QStringLiteral("kemmst_sizaicode"),
                        {QStringLiteral("name_nm"), QStringLiteral("sizai_cd"), QStringLiteral("sizai_nm")},
                        {}};
    for (const Material& m : Materials)
        sizaicode.rows << texts({m.nameType, m.code, m.name});
    out << sizaicode;

    TableRows size{
        QStringLiteral("kemmst_size"), {QStringLiteral("size_value"), QStringLiteral("sort_lv")}, {}};
    const int order[] = {10, 20, 30, 40, 50, 60, 70, 110, 120, 130, 140};
    for (int i = 0; i < 11; ++i)
        size.rows << QVariantList{u(Sizes[i]), order[i]};
    out << size;

    const QStringList ehjColumns = {u("EHJ_NO"), u("EHJ1"), u("EHJ2"), u("EHJ3"),      u("EHJ4"),
                                    u("EHJ5"),   u("EHJ6"), u("B01"),  u("B02"),       u("B03"),
                                    u("B04"),    u("B05"),  u("UPD"),  u("EHJ_HENKAN")};
    // Sets and terms of the order-file generator, with conversion codes and dates of our own.
    const char* sets[][7] = {{"E0001", "1030", "2020", "3012", "4010", "5011", "6020"},
                             {"E0002", "1040", "2010", "3022", "4020", "5020", "6010"},
                             {"E0003", "1050", "2020", "3031", "4030", "5010", ""},
                             {"E0004", "1060", "2010", "3040", "4010", "", ""},
                             {"E0005", "1010", "2020", "3011", "4020", "5011", "6030"},
                             {"E0006", "1070", "2010", "3020", "4010", "5020", "6040"},
                             {"E0007", "1031", "2020", "3013", "4030", "6020", ""},
                             {"E0008", "1041", "2010", "3023", "4020", "5010", "6010"}};
    TableRows ehj{QStringLiteral("kemmst_ehj"), ehjColumns, {}};
    for (int i = 0; i < 8; ++i) {
        QVariantList row;
        for (const char* v : sets[i])
            row << u(v);
        row << u(i == 2 ? "手洗い" : "") << u("") << u("") << u("") << u("");
        row << u("2024/04/01 09:00:00") << QStringLiteral("A%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        ehj.rows << row;
    }
    out << ehj;

    const char* terms[][2] = {{"F001", "洗濯ネットを使用してください"},
                              {"F002", "裏返して洗ってください"},
                              {"F003", "濃色のものは色落ちすることがあります"},
                              {"F004", "他のものと分けて洗ってください"},
                              {"F005", "漂白剤は使用しないでください"},
                              {"F006", "タンブル乾燥はお避けください"},
                              {"F007", "アイロンは当て布をしてください"},
                              {"F008", "形を整えて陰干ししてください"},
                              {"F009", "素材の特性上、多少縮むことがあります"},
                              {"F010", "プリント部分にアイロンを当てないでください"}};
    TableRows fuki{
        QStringLiteral("kemmst_fuki"),
        {u("FUKI_NO"), u("FUKI_NAIYO"), u("B01"), u("B02"), u("B03"), u("B04"), u("B05"), u("UPD")},
        {}};
    for (const auto& t : terms)
        fuki.rows << texts({t[0], t[1], "", "", "", "", "", "2024/04/01 09:00:00"});
    out << fuki;

    TableRows tag{QStringLiteral("tagcd_henkan"), {u("TAFCD"), u("TAG_CD")}, {}};
    for (int i = 0; i < 5; ++i)
        tag.rows << QVariantList{u(ClientTagCodes[i]), u(CompanyTagCodes[i])};
    out << tag;
    out << labelLayouts();
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
    // The delivery destinations of the demo clients (the generator's NOU_CD is the client code + "-01").
    struct Destination {
        const char* name;
        const char* adr1;
        const char* adr2;
        const char* tel;
        const char* chineseName;
    };
    const Destination destinations[] = {
        {"株式会社さくら衣料 物流センター", "東京都千代田区丸の内一丁目2番3号", "さくらビル3階",
         "03-3211-0101", "樱花服饰株式会社 物流中心"},
        {"青葉アパレル株式会社 物流センター", "宮城県仙台市青葉区一番町二丁目4番1号", "青葉第二ビル5F",
         "022-224-0102", "青叶服装株式会社 物流中心"},
        {"有限会社みなと縫製 物流センター", "神奈川県横浜市中区山下町25番地", "", "045-641-0103",
         "港缝制有限公司 物流中心"},
        {"株式会社北斗ファッション 物流センター", "北海道札幌市中央区北一条西五丁目2番", "北斗会館7階",
         "011-231-0104", "北斗时装株式会社 物流中心"},
        {"なにわテキスタイル株式会社 物流センター", "大阪府大阪市中央区本町三丁目5番7号", "本町NKビル",
         "06-6262-0105", "浪速纺织株式会社 物流中心"}};
    TableRows nouhin{QStringLiteral("MST_NOUHIN"), nouhinColumns, {}};
    for (int i = 0; i < 5; ++i) {
        const Destination& d = destinations[i];
        nouhin.rows << QVariantList{101 + i} +
                           texts({DestinationCodes[i], CustomerCode, d.name, d.adr1, d.adr2, d.tel, "",
                                  "入荷課", "物流 担当", d.chineseName, "", ""});
    }
    out << nouhin;

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
    out << TableRows{
        QStringLiteral("TABLE_NOUHIN_INFO"),
        infoColumns,
        {info(101, "V001", "JPY", 1, 0, 1.0, "航空便"), info(102, "V001", "JPY", 0, 1, 2.5, "船便"),
         info(103, "V002", "CNY", 0, 0, 1.0, "トラック"), info(104, "V001", "JPY", 1, 1, 3.0, "航空便"),
         info(105, "V002", "JPY", 0, 0, 1.0, "船便")}};

    out << TableRows{QStringLiteral("HcyCd_Find"),
                     {u("NOUKYAKU_CD"), u("TOKCD"), u("SEICD"), u("HACYUGAISYACD")},
                     {texts({DestinationCodes[0], CustomerCode, BillingPartyCode, "V001"}),
                      texts({DestinationCodes[1], CustomerCode, BillingPartyCode, "V001"}),
                      texts({DestinationCodes[2], CustomerCode, BillingPartyCode, "V002"}),
                      texts({DestinationCodes[3], CustomerCode, BillingPartyCode, "V001"}),
                      texts({DestinationCodes[4], CustomerCode, BillingPartyCode, "V002"})}};
    return out;
}

QList<TableRows> officeTables() {
    QList<TableRows> out;
    out << TableRows{
        QStringLiteral("FSHOWK"),
        {u("SHO011"), u("SHO032"), u("SHO033")},
        {texts({"8710001", "下札", "上質紙 220kg"}), texts({"8710002", "下札", "コート紙 ミシン目入"}),
         texts({"8710003", "織ネーム", "朱子織 白"}),
         texts({"8710004", "プリントネーム", "ポリエステルサテン"}),
         texts({"8710005", "品質表示", "テトロンタフタ"}), texts({"8710006", "サイズネーム", "サイズ織"}),
         texts({"9910001", "梱包資材", "段ボール"})}};
    out << TableRows{
        QStringLiteral("FSKNPF"),
        {u("SKN011"), u("SKN031_1"), u("SKN031_9"), u("SKN031_10")},
        {QVariantList{u("8710001"), u("T-201"), 4.5, 2.1}, QVariantList{u("8710002"), u("T-202"), 5.0, 2.4},
         QVariantList{u("8710003"), u("W-001"), 3.2, 1.35}, QVariantList{u("8710004"), u("P-101"), 2.8, 1.2},
         QVariantList{u("8710005"), QVariant(), 12.0, 6.0}, // no material: not listed
         QVariantList{u("8710006"), u("S-401"), 1.5, 0.6},
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

} // namespace kemnoa::demo
