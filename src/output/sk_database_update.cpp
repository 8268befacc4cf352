#include "output/sk_database_update.h"

#include "core/error.h"
#include "core/file_helpers.h"
#include "core/session.h"
#include "platform/db/reader.h"
#include "platform/db/sql_text.h"

#include <QHash>
#include <array>
#include <vector>

namespace kemnoa::output {
namespace {

// "yyyymmdd" as "yyyy/mm/dd"; an empty date stays empty.
QString slashDate(const QString& yyyymmdd) {
    if (yyyymmdd.isEmpty())
        return {};
    return yyyymmdd.mid(0, 4) + QLatin1Char('/') + yyyymmdd.mid(4, 2) + QLatin1Char('/') + yyyymmdd.mid(6, 2);
}

using Pairs = std::array<QString, 24>; // QUL1, PER1, ... QUL12, PER12

Pairs pairsOf(const db::Reader& r) {
    Pairs p;
    for (int n = 1; n <= 12; ++n) {
        p[std::size_t(2 * n - 2)] = r.text(QStringLiteral("QUL%1").arg(n));
        p[std::size_t(2 * n - 1)] = r.text(QStringLiteral("PER%1").arg(n));
    }
    return p;
}

// The values of a PO line that its job needs.
struct LineValues {
    QString kind, layout, hinban, shoCd, poNo, poKbn;
    qint64 ordNo = 0, poGyou = 0;
};

// One job: a hang-tag or care-label line of the PO.
class Job {
public:
    Job(db::Connection& work, db::Connection& sk, const LineValues& line, QString kindName)
        : work_(work), sk_(sk), kindName_(std::move(kindName)), layout_(line.layout), hinban_(line.hinban),
          shoCd_(line.shoCd), poNo_(line.poNo), poKbn_(line.poKbn), ordNo_(line.ordNo), poGyou_(line.poGyou) {
    }

    void make() {
        headerAndParties();
        composition();
        gridAndTotal();
    }

private:
    void headerAndParties() {
        db::Reader h =
            work_.read(QStringLiteral("Select * From rcv_denheaddata Where ORD_NO = ? "), {ordNo_});
        if (h.atEnd())
            return;
        sk_.execute(QStringLiteral(
                        "Insert Into TBL_H(PO,SKNO,NO,発注番号,発注日,希望納期,品番,生産場所,工程,ブランド,"
                        "品種,品名) Values(?,?,?,?,?,?,?,?,?,?,?,?)"),
                    {poNo_, QString(), poGyou_, QString(), slashDate(h.text(QStringLiteral("ORD_DATE"))),
                     slashDate(h.text(QStringLiteral("KIBO_DATE"))), hinban_, QStringLiteral("上海"),
                     QString(), shoCd_, kindName_, layout_});
        const core::Session& s = core::session();
        sk_.execute(
            QStringLiteral("Insert Into TBL_NJ(PO,SKNO,NO,得意先CD,得意先名,発注元CD,発注元名,発注先CD,"
                           "発注先名,請求先CD,請求先名,納品先CD,納品先名) Values(?,?,?,?,?,?,?,?,?,?,?,?,?)"),
            {poNo_, QString(), poGyou_, s.fixed(QStringLiteral("得意先CD")),
             s.fixed(QStringLiteral("得意先名")), s.fixed(QStringLiteral("発注元CD")),
             s.fixed(QStringLiteral("発注元名")), QString(), QString(), s.fixed(QStringLiteral("請求先CD")),
             s.fixed(QStringLiteral("請求先名")), h.text(QStringLiteral("NOU_CD")),
             h.text(QStringLiteral("NOU_NM"))});
    }

    // The composition text: one group per run of print rows (in material order) with the same
    // materials and shares; each group's lines under its circled number.
    void composition() {
        QString order;
        for (int n = 1; n <= 12; ++n)
            order += QStringLiteral("QUL%1,PER%1,").arg(n);
        db::Reader r = work_.read(QStringLiteral("Select * From rcv_csvdata Where PO_NO = ? And PO_KBN = ? "
                                                 "And PO_GYOU = ? Order By ") +
                                      order + QStringLiteral("COLOR_NO,SORT_LV"),
                                  {poNo_, poKbn_, poGyou_});
        int lineNo = 0;
        int group = 0;
        Pairs current;
        for (; !r.atEnd(); r.moveNext()) {
            const Pairs pairs = pairsOf(r);
            if (group == 0 || pairs != current) {
                ++group;
                current = pairs;
                writeGroup(pairs, group, lineNo);
            }
            groupOf_.insert(r.text(QStringLiteral("auto_id")), group);
        }
    }

    void writeGroup(const Pairs& pairs, int group, int& lineNo) {
        QStringList lines;
        for (int n = 0; n < 12; ++n) {
            const QString& material = pairs[std::size_t(2 * n)];
            const QString& share = pairs[std::size_t(2 * n + 1)];
            if (material.isEmpty() && share.isEmpty())
                continue;
            if (lines.isEmpty())
                lines << QStringLiteral("品質表示") + core::MF_MaruSuji(group) << kRule;
            lines << material + share;
        }
        if (lines.isEmpty())
            lines << QString();
        else
            lines << kRule;
        // Every line of the job has its own place, so the sheets print them in this order.
        for (const QString& text : lines)
            sk_.execute(QStringLiteral("Insert Into TBL_Qua(PO,SKNO,NO,LINE,内容) Values(?,?,?,?,?)"),
                        {poNo_, poNo_, poGyou_, ++lineNo, text});
    }

    void gridAndTotal() {
        db::Reader r = work_.read(QStringLiteral("Select * From rcv_csvdata Where PO_NO = ? And PO_KBN = ? "
                                                 "And PO_GYOU = ? Order By COLOR_NO,SORT_LV"),
                                  {poNo_, poKbn_, poGyou_});
        if (r.atEnd())
            return;
        QString insert = QStringLiteral("Insert Into TBL_SKU(PO,SKNO,NO,LINE,COLS");
        for (int f = 1; f <= 22; ++f)
            insert += QStringLiteral(",F%1").arg(f);
        insert += QStringLiteral(") Values(?,?,?,?,?") + QStringLiteral(",?").repeated(22) + QLatin1Char(')');
        int lineNo = 0;
        auto writeLine = [&](const QStringList& f) {
            QVariantList v{poNo_, poNo_, poGyou_, ++lineNo, 6};
            for (int i = 0; i < 22; ++i)
                v << f.value(i, QString());
            sk_.execute(insert, v);
        };
        writeLine({QStringLiteral("カラー"), QStringLiteral("サイズ"), QStringLiteral("数量"), QString(),
                   QStringLiteral("原産国"), QString()});
        qint64 total = 0;
        for (; !r.atEnd(); r.moveNext()) {
            const auto g = groupOf_.constFind(r.text(QStringLiteral("auto_id")));
            writeLine({r.text(QStringLiteral("COLOR_NO")), r.text(QStringLiteral("CAPTION_SIZE")),
                       r.text(QStringLiteral("SU")), QString(), r.text(QStringLiteral("GENSAN")),
                       g == groupOf_.constEnd() ? QString() : core::MF_MaruSuji(*g)});
            total += r.value(QStringLiteral("SU")).toLongLong(); // Null counts as 0
        }
        sk_.execute(
            QStringLiteral("Insert Into TBL_TOTAL(PO,SKNO,NO,数量,見込みロス,梱包状態) Values(?,?,?,?,?,?)"),
            {poNo_, QString(), poGyou_, QString::number(total), QString(), QString()});
    }

    inline static const QString kRule = QStringLiteral("--------------------------");

    db::Connection& work_;
    db::Connection& sk_;
    QString kindName_, layout_, hinban_, shoCd_, poNo_, poKbn_;
    qint64 ordNo_, poGyou_;
    QHash<QString, int> groupOf_; // auto_id of a print row -> its composition group, this job only
};

} // namespace

core::Outcome MF_SkDatabaseUpdate(core::Prompter& prompter, db::Connection& work, db::Connection& sk,
                                  const QString& poNo, const QString& poKbn) {
    try {
        db::Transaction tx(sk);
        for (const char* table : {"TBL_H", "TBL_NJ", "TBL_QUA", "TBL_SJ", "TBL_SKU", "TBL_TOTAL", "TBL_YJ"})
            sk.execute(QStringLiteral("Delete From %1 Where PO = ? ").arg(QLatin1String(table)), {poNo});
        // The lines are read whole first: one connection serves one open read at a time.
        std::vector<LineValues> lines;
        for (db::Reader r =
                 work.read(QStringLiteral("Select * From rcv_skdata Where PO_NO = ? And PO_KBN = ? "
                                          "And HINSYU_CD <> '' Order By PO_GYOU "),
                           {poNo, poKbn});
             !r.atEnd(); r.moveNext())
            lines.push_back({r.text(QStringLiteral("HINSYU_CD")), r.text(QStringLiteral("LAYOUT")),
                             r.text(QStringLiteral("HINBAN")), r.text(QStringLiteral("SHO_CD")),
                             r.text(QStringLiteral("PO_NO")), r.text(QStringLiteral("PO_KBN")),
                             r.value(QStringLiteral("ORD_NO")).toLongLong(),
                             r.value(QStringLiteral("PO_GYOU")).toLongLong()});
        for (const LineValues& line : lines) {
            if (line.kind == QStringLiteral("TAG"))
                Job(work, sk, line, QStringLiteral("下札")).make();
            else if (line.kind == QStringLiteral("CAR"))
                Job(work, sk, line, QStringLiteral("洗濯ネーム")).make();
        }
        tx.commit();
        return core::Outcome::Done;
    } catch (const core::Error&) {
        // The transaction has rolled back: the PO keeps its previous production-control rows.
    }
    prompter.message(
        QStringLiteral("PO番号(") + poNo +
            QStringLiteral(")のデータを生産管理データベースにアップデートする際にエラーが発生しました。\r\n"
                           "処理はキャンセルされました。"),
        QStringLiteral("SK作成エラー"), core::MsgIcon::Critical);
    return core::Outcome::Failed;
}

} // namespace kemnoa::output
