#include "demo/generated_orders.h"

#include "demo/demo_codes.h"
#include "platform/jet/jet_error.h"

#include <QDate>
#include <algorithm>
#include <random>

namespace kemnoa::demo {

using jet::ColumnDef;
using jet::ColumnType;
using jet::Row;
using jet::Value;

namespace {

QString u8(const char* s) {
    return QString::fromUtf8(s);
}

class Rng {
public:
    explicit Rng(quint32 seed) : g_(seed) {}
    int below(int n) { return int(g_() % quint32(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T, std::size_t N> const T& pick(const std::array<T, N>& a) {
        return a[std::size_t(below(int(N)))];
    }
    QString pickText(std::initializer_list<const char*> list) {
        return u8(list.begin()[below(int(list.size()))]);
    }

private:
    std::mt19937 g_;
};

QString fullWidth(const QString& s) {
    QString out;
    for (QChar c : s) {
        if (c.unicode() >= 0x21 && c.unicode() <= 0x7e)
            out += QChar(char16_t(c.unicode() - 0x21 + 0xff01));
        else
            out += c;
    }
    return out;
}

struct Client {
    const char* code;
    const char* name;
    const char* post;
    const char* adr1;
    const char* adr2;
    const char* tel;
};
constexpr std::array<Client, 5> kClients{{
    {"C0101", "株式会社さくら衣料", "100-0005", "東京都千代田区丸の内一丁目2番3号", "さくらビル3階",
     "03-3211-0101"},
    {"C0102", "青葉アパレル株式会社", "980-0811", "宮城県仙台市青葉区一番町二丁目4番1号", "青葉第二ビル5F",
     "022-224-0102"},
    {"C0103", "有限会社みなと縫製", "231-0023", "神奈川県横浜市中区山下町25番地", "", "045-641-0103"},
    {"C0104", "株式会社北斗ファッション", "060-0001", "北海道札幌市中央区北一条西五丁目2番", "北斗会館7階",
     "011-231-0104"},
    {"C0105", "なにわテキスタイル株式会社", "541-0053", "大阪府大阪市中央区本町三丁目5番7号", "本町NKビル",
     "06-6262-0105"},
}};

struct QualityLine {
    QString part, ratio, suffix;
};

std::vector<QualityLine> qualityLines(Rng& rng, bool seventh) {
    std::vector<QualityLine> q;
    const QString pct = u8("％");
    switch (rng.below(4)) {
    case 0:
        q = {{u8("綿"), QStringLiteral("100"), pct}};
        break;
    case 1:
        q = {{u8("ポリエステル"), QStringLiteral("65"), pct}, {u8("綿"), QStringLiteral("35"), pct}};
        break;
    case 2:
        q = {{u8("表地"), QStringLiteral("0"), QString()},
             {u8("毛"), QStringLiteral("80"), pct},
             {u8("ナイロン"), QStringLiteral("20"), pct},
             {u8("裏地"), QStringLiteral("0"), QString()},
             {u8("キュプラ"), QStringLiteral("100"), pct}};
        break;
    default:
        q = {{u8("綿"), QStringLiteral("95"), pct}, {u8("ポリウレタン"), QStringLiteral("5"), pct}};
    }
    if (seventh) {
        q = {{u8("本体"), QStringLiteral("0"), QString()},
             {u8("綿"), QStringLiteral("60"), pct},
             {u8("ポリエステル"), QStringLiteral("40"), pct},
             {u8("リブ部分"), QStringLiteral("0"), QString()},
             {u8("綿"), QStringLiteral("95"), pct},
             {u8("ポリウレタン"), QStringLiteral("5"), pct},
             {u8("中綿"), QStringLiteral("0"), QString()},
             {u8("ポリエステル"), QStringLiteral("100"), pct}};
    }
    return q;
}

struct Builder {
    const Options& o;
    Rng rng;
    std::vector<FileTable> tables;

    FileTable& table(const QString& name) {
        for (auto& t : tables)
            if (t.name == name)
                return t;
        FileTable t;
        t.name = name;
        t.columns = orderFileColumns(name, o.style);
        tables.push_back(std::move(t));
        return tables.back();
    }
    // A row of the table's columns, set by name.
    struct RowBuilder {
        FileTable& t;
        Row row;
        void set(const QString& c, Value v) { row[std::size_t(t.columnIndex(c))] = std::move(v); }
        // Text, or its number where the table declares the column a number (the shares of ColumnStyle).
        void text(const QString& c, const QString& s) {
            const int i = t.columnIndex(c);
            set(c, t.columns[std::size_t(i)].type == jet::ColumnType::Long ? Value::integer(s.toLongLong())
                                                                           : Value::text(s));
        }
        void number(const QString& c, qint64 n) { set(c, Value::integer(n)); }
    };
    RowBuilder start(const QString& name) {
        FileTable& t = table(name);
        return RowBuilder{t, Row(t.columns.size())};
    }
    void add(RowBuilder& r) { r.t.rows.push_back(std::move(r.row)); }

    void header(qint32 orderNo, int index, const QDate& orderDate) {
        RowBuilder r = start(QStringLiteral("denheaddata"));
        const Client& sir = rng.pick(kClients);
        const Client& nou = rng.pick(kClients);
        r.number(QStringLiteral("ORD_NO"), orderNo);
        r.text(QStringLiteral("REC_TYPE"), QStringLiteral("1"));
        r.text(QStringLiteral("REC_KBN"), QStringLiteral("N"));
        // Clients number their requests: yyMM and a four-digit running number, digits only.
        r.text(QStringLiteral("IRAI_NO"), orderDate.toString(QStringLiteral("yyMM")) +
                                              QStringLiteral("%1").arg(index + 1, 4, 10, QLatin1Char('0')));
        r.number(QStringLiteral("ORD_DATE"), orderDate.toString(QStringLiteral("yyyyMMdd")).toInt());
        r.text(QStringLiteral("KIBO_DATE"),
               orderDate.addDays(14 + rng.below(21)).toString(QStringLiteral("yyyyMMdd")));
        auto party = [&](const QString& p, const Client& c, bool delivery) {
            r.text(p + QStringLiteral("_CD"),
                   QString::fromLatin1(c.code) + (delivery ? QStringLiteral("-01") : QString()));
            r.text(p + QStringLiteral("_NM"), u8(c.name) + (delivery ? u8(" 物流センター") : QString()));
            r.text(p + QStringLiteral("_BUSHO_NM"),
                   delivery ? rng.pickText({"入荷課", "物流部", "倉庫管理課"})
                            : rng.pickText({"生産管理部", "資材課", "企画部", "品質管理課"}));
            r.text(p + QStringLiteral("_TANTO_NM"), rng.pickText({"佐藤 花子", "鈴木 一郎", "高橋 美咲",
                                                                  "田中 健太", "伊藤 由美", "渡辺 翔太"}));
            r.text(p + QStringLiteral("_POST_NO"), QString::fromLatin1(c.post));
            r.text(p + QStringLiteral("_ADR1"), u8(c.adr1));
            r.text(p + QStringLiteral("_ADR2"), u8(c.adr2));
            r.text(p + QStringLiteral("_TEL"), QString::fromLatin1(c.tel));
        };
        party(QStringLiteral("SIR"), sir, false);
        party(QStringLiteral("NOU"), nou, true);
        r.text(QStringLiteral("KESSAI"), rng.chance(25) ? u8("中国決済") : u8("日本決済"));
        r.text(QStringLiteral("SHKA_PLACE"), rng.pickText({"上海工場", "大連工場", "寧波工場"}));
        const QString stamp = orderDate.toString(QStringLiteral("yyyy/MM/dd")) +
                              QStringLiteral(" %1:%2:00")
                                  .arg(9 + rng.below(9), 2, 10, QLatin1Char('0'))
                                  .arg(rng.below(60), 2, 10, QLatin1Char('0'));
        r.text(QStringLiteral("ENTRY_DATE"), stamp);
        r.text(QStringLiteral("UPDATE_DATE"), stamp);
        // Every fourth order carries a caution note; the second one a remark with an apostrophe.
        r.text(QStringLiteral("BIKO1"),
               index % 4 == 3 ? u8("至急対応をお願いします。納期厳守でお願いします。") : QString());
        r.text(QStringLiteral("BIKO2"), index == 1 ? u8("Men's ライン 初回生産分") : QString());
        r.text(QStringLiteral("BIKO3"), QString());
        // BIKO4 and BIKO5 stay Null, as older client programs leave them.
        add(r);
    }

    void line(const QString& tableName, qint32 orderNo, int gyou, const QDate& orderDate, bool seventh,
              int product) {
        RowBuilder r = start(tableName);
        Rng local(o.seed * 7919u + quint32(orderNo) * 131u +
                  quint32(gyou)); // same article in posdata and cardata
        const QString hin = QStringLiteral("KM-%1").arg(1000 + product * 37 % 9000);
        const auto& size = local.pick(kSizes);
        const QString color =
            local.pickText({"ネイビー", "ホワイト", "ブラック", "ベージュ", "グレー", "オリーブ"});
        const QString name = local.pickText({"メンズ オックスフォードシャツ", "レディース ニットカーディガン",
                                             "キッズ スウェットパーカー", "ストレッチデニムパンツ",
                                             "ウールブレンドコート", "リネン混ワンピース"});
        const auto& tag = local.chance(10) ? TagCode{kUnmappedTagCode, ""} : local.pick(kTagCodes);
        r.text(QStringLiteral("TACD"), QString::fromLatin1(kClients[std::size_t(product % 5)].code));
        r.text(QStringLiteral("TAID"),
               QStringLiteral("%1%2").arg(orderNo).arg(gyou, 3, 10, QLatin1Char('0')));
        r.text(QStringLiteral("TAHIN"), hin);
        r.text(QStringLiteral("TAINO"), QStringLiteral("I%1").arg(local.below(900000) + 100000));
        r.text(QStringLiteral("TAFCD"), QString::fromLatin1(tag.clientCode));
        r.text(QStringLiteral("TASEQ"), QStringLiteral("%1").arg(gyou, 3, 10, QLatin1Char('0')));
        r.text(QStringLiteral("TASNO"), QStringLiteral("ST-%1").arg(local.below(9000) + 1000));
        r.text(QStringLiteral("TASFL"), QStringLiteral("0"));
        r.text(QStringLiteral("TACLT"), color);
        r.text(QStringLiteral("TARCD"),
               QStringLiteral("R%1").arg(local.below(20) + 1, 2, 10, QLatin1Char('0')));
        r.text(QStringLiteral("TABA1"),
               QStringLiteral("49%1").arg(qint64(local.below(1000000)) * 10000 + local.below(10000), 11, 10,
                                          QLatin1Char('0')));
        r.text(QStringLiteral("TABA2"), QString());
        r.text(QStringLiteral("TAMAK"), u8("さくら衣料"));
        // The product number, sometimes in full-width characters as some client programs send it.
        r.text(QStringLiteral("TAPHN"), local.chance(40) ? fullWidth(hin) : hin);
        r.text(QStringLiteral("TALCD"), QStringLiteral("L01"));
        r.text(QStringLiteral("TANM1"), name);
        r.text(QStringLiteral("TANM2"), color + u8(" ") + QString::fromUtf8(size.value));
        r.text(QStringLiteral("TANM3"), QString());
        r.text(QStringLiteral("TAFM1"), u8("表示者"));
        r.text(QStringLiteral("TAHN1"), u8("株式会社さくら衣料"));
        r.text(QStringLiteral("TATO1"), QStringLiteral("TEL 03-3211-0101"));
        for (const char* c : {"TAFM2", "TAHN2", "TATO2", "TAFM3", "TAHN3", "TATO3"})
            r.text(QString::fromLatin1(c), QString());
        const auto quality = qualityLines(local, seventh);
        for (int i = 1; i <= 12; ++i) {
            const bool used = i <= int(quality.size());
            r.text(QStringLiteral("TAPH%1").arg(i), used ? quality[std::size_t(i - 1)].part : QString());
            r.text(QStringLiteral("TAPR%1").arg(i),
                   used ? quality[std::size_t(i - 1)].ratio : QStringLiteral("0"));
            r.text(QStringLiteral("TAPP%1").arg(i), used ? quality[std::size_t(i - 1)].suffix : QString());
        }
        r.text(QStringLiteral("TASIZ"), QString::fromUtf8(size.value));
        r.text(QStringLiteral("TASTF"), u8("身長 %1").arg(150 + size.sortLevel % 100));
        r.text(QStringLiteral("TASTH"), u8("胸囲 %1").arg(80 + size.sortLevel % 50 / 5));
        r.text(QStringLiteral("TASTO"), QString());
        const int quantity = (local.below(50) + 1) * 10;
        r.text(QStringLiteral("TALHN"), hin);
        r.text(QStringLiteral("TALSZ"), QString::fromUtf8(size.value));
        r.text(QStringLiteral("TALCL"), color);
        for (const char* c : {"TALMK", "TALBK", "TALCN", "TALHK"})
            r.text(QString::fromLatin1(c), QString());
        r.text(QStringLiteral("TALSU"), QString::number(quantity));
        const QString ymd = orderDate.toString(QStringLiteral("yyyyMMdd"));
        const QString tim = QStringLiteral("%1%2%3")
                                .arg(9 + local.below(9), 2, 10, QLatin1Char('0'))
                                .arg(local.below(60), 2, 10, QLatin1Char('0'))
                                .arg(local.below(60), 2, 10, QLatin1Char('0'));
        for (const char* c : {"TACYMD", "TAUYMD", "TACDYD", "TAUDYM"})
            r.text(QString::fromLatin1(c), ymd);
        for (const char* c : {"TACTIM", "TAUTIM", "TACDTM", "TAUDTM"})
            r.text(QString::fromLatin1(c), tim);
        r.text(QStringLiteral("TACWS"), QStringLiteral("WS01"));
        r.text(QStringLiteral("TAUWS"), QStringLiteral("WS01"));
        // TACDWS, TAUDWS and TAMEN stay Null.
        r.text(QStringLiteral("TACM"), gyou == 1 ? u8("初回ロット") : QString());
        r.text(QStringLiteral("TAFKB"), QStringLiteral("0"));
        r.number(QStringLiteral("ORD_NO"), orderNo);
        r.number(QStringLiteral("GYOU"), gyou);
        r.text(QStringLiteral("EHJ"), QString::fromLatin1(local.pick(kCareSymbolSets).number));
        r.number(QStringLiteral("SU"), quantity);
        const int terms = local.below(4);
        for (int i = 1; i <= 8; ++i)
            r.text(QStringLiteral("FUKI%1").arg(i),
                   i <= terms ? QString::fromLatin1(kTerms[std::size_t(gyou + i * 3) % kTerms.size()].number)
                              : QString());
        add(r);
    }

    void additionalTerms(qint32 orderNo, int gyou) {
        RowBuilder r = start(QStringLiteral("addfukidata"));
        const int count = 1 + rng.below(4);
        r.number(QStringLiteral("ORD_NO"), orderNo);
        r.number(QStringLiteral("GYOU"), gyou);
        r.number(QStringLiteral("FUKI_SU"), count);
        for (int i = 1; i <= 8; ++i)
            r.text(QStringLiteral("FUKI%1").arg(i),
                   i <= count ? QString::fromLatin1(kTerms[std::size_t(orderNo + i) % kTerms.size()].number)
                              : QString());
        add(r);
    }

    void accessory(qint32 orderNo, int gyou) {
        RowBuilder r = start(QStringLiteral("fuzokudata"));
        const auto& m = rng.pick(kMaterials);
        r.number(QStringLiteral("ORD_NO"), orderNo);
        r.number(QStringLiteral("GYOU"), gyou);
        r.text(QStringLiteral("NAME_NM"), u8(m.nameType));
        r.text(QStringLiteral("SIZAI_CD"), QString::fromLatin1(m.code));
        r.text(QStringLiteral("SIZAI_NM"), u8(m.name));
        const int first = rng.below(2), count = 2 + rng.below(4); // a run of the demo sizes
        int total = 0;
        for (int i = 1; i <= 10; ++i) {
            const bool used = i <= count;
            const int q = used ? (rng.below(30) + 1) * 10 : 0;
            total += q;
            r.text(QStringLiteral("TITLE%1").arg(i),
                   used ? QString::fromUtf8(kSizes[std::size_t(first + i - 1)].value) : QString());
            r.number(QStringLiteral("SURYO%1").arg(i), q);
        }
        const int plain = rng.chance(30) ? (rng.below(10) + 1) * 10 : 0;
        r.text(QStringLiteral("TITLEKEI"), u8("合計"));
        r.number(QStringLiteral("SURYOKEI"), total + plain);
        r.text(QStringLiteral("TITLEMUJI"), u8("ムジ"));
        r.number(QStringLiteral("SURYOMUJI"), plain);
        add(r);
    }

    void submissions() {
        static const char* flags[] = {"N", "U", "D"};
        for (int i = 0; i < o.submittedSymbols; ++i) {
            RowBuilder r = start(QStringLiteral("snd_mst_ehj"));
            const char* flag = flags[i % 3];
            const auto& set = kCareSymbolSets[std::size_t(i) % kCareSymbolSets.size()];
            r.number(QStringLiteral("id"), i + 1);
            r.text(QStringLiteral("EHJ_NO"), flag[0] == 'N'
                                                 ? QStringLiteral("E%1").arg(101 + i, 4, 10, QLatin1Char('0'))
                                                 : QString::fromLatin1(set.number));
            for (int k = 0; k < 6; ++k)
                r.text(QStringLiteral("EHJ%1").arg(k + 1),
                       QString::fromLatin1(set.codes[std::size_t((k + i) % 6)]));
            for (int k = 1; k <= 5; ++k)
                r.text(QStringLiteral("B%1").arg(k, 2, 10, QLatin1Char('0')), QString());
            r.text(QStringLiteral("UPD"),
                   QStringLiteral("2024/04/01 10:%1:00").arg(i % 60, 2, 10, QLatin1Char('0')));
            r.text(QStringLiteral("SYORI_FLG"), QString::fromLatin1(flag));
            add(r);
        }
        for (int i = 0; i < o.submittedTerms; ++i) {
            RowBuilder r = start(QStringLiteral("snd_mst_fuki"));
            const char* flag = flags[i % 3];
            const auto& term = kTerms[std::size_t(i) % kTerms.size()];
            r.number(QStringLiteral("id"), i + 1);
            r.text(QStringLiteral("FUKI_NO"),
                   flag[0] == 'N' ? QStringLiteral("F%1").arg(101 + i, 3, 10, QLatin1Char('0'))
                                  : QString::fromLatin1(term.number));
            r.text(QStringLiteral("FUKI_NAIYO"),
                   flag[0] == 'N' ? u8("ドライクリーニングは石油系溶剤で行ってください") : u8(term.wording));
            for (int k = 1; k <= 5; ++k)
                r.text(QStringLiteral("B%1").arg(k, 2, 10, QLatin1Char('0')), QString());
            r.text(QStringLiteral("UPD"),
                   QStringLiteral("2024/04/01 11:%1:00").arg(i % 60, 2, 10, QLatin1Char('0')));
            r.text(QStringLiteral("SYORI_FLG"), QString::fromLatin1(flag));
            add(r);
        }
    }
};

} // namespace

OrderFileData generateOrderData(const Options& o) {
    if (o.orders < 0 || o.linesPerOrder < 0 || o.submittedSymbols < 0 || o.submittedTerms < 0)
        throw Error(QStringLiteral("件数には 0 以上を指定してください。"), jet::errnum::InvalidArgument);
    if (qint64(o.firstOrderNumber) + o.orders - 1 > std::numeric_limits<qint32>::max() ||
        o.firstOrderNumber < 0)
        throw Error(QStringLiteral("発注番号が範囲外です。"), jet::errnum::InvalidArgument);
    Builder b{o, Rng(o.seed), {}};
    for (const QString& t : orderFileTables())
        b.table(t);
    OrderFileData data;
    const QDate base(2024, 4, 1);
    for (int i = 0; i < o.orders; ++i) {
        const qint32 orderNo = o.firstOrderNumber + i;
        const QDate date = base.addDays(i % 60);
        data.orderNumbers.push_back(orderNo);
        b.header(orderNo, i, date);
        for (int g = 1; g <= o.linesPerOrder; ++g) {
            const int product = int(orderNo % 97) * 10 + g;
            b.line(QStringLiteral("posdata"), orderNo, g, date, o.seventhQualityLine && g == 1, product);
            b.line(QStringLiteral("cardata"), orderNo, g, date, o.seventhQualityLine && g == 1, product);
            b.additionalTerms(orderNo, g);
            b.accessory(orderNo, g);
        }
    }
    b.submissions();

    for (auto& t : b.tables)
        data.tables.push_back(std::move(t));
    applyDamage(data, Damage{o.omitTables, o.droppedColumns, o.nullNumbers});
    return data;
}

OrderFileData makeOrderFile(const QString& path, const Options& options) {
    OrderFileData data = generateOrderData(options);
    writeOrderFile(path, data, options.created, options.editedAfterWriting);
    return data;
}

} // namespace kemnoa::demo
