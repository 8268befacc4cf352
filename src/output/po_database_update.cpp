#include "output/po_database_update.h"

#include "core/dbf_round.h"
#include "core/error.h"
#include "core/session.h"
#include "platform/db/reader.h"
#include "platform/db/sql_text.h"

#include <QStringList>

namespace kemnoa::output {
namespace {

const QStringList& headerColumns() {
    static const QStringList c = {QStringLiteral("PO番号"),          QStringLiteral("PO発行日"),
                                  QStringLiteral("発注区分"),        QStringLiteral("修正回数"),
                                  QStringLiteral("客先契約番号"),    QStringLiteral("KP番号"),
                                  QStringLiteral("希望納期"),        QStringLiteral("発注先CD"),
                                  QStringLiteral("発注先名"),        QStringLiteral("発注先住所1"),
                                  QStringLiteral("発注先住所2"),     QStringLiteral("発注先TEL番号"),
                                  QStringLiteral("発注先FAX番号"),   QStringLiteral("発注先MAIL"),
                                  QStringLiteral("発注先部門"),      QStringLiteral("発注先担当者名"),
                                  QStringLiteral("発注先責任者名"),  QStringLiteral("発注元CD"),
                                  QStringLiteral("発注元名"),        QStringLiteral("発注元住所1"),
                                  QStringLiteral("発注元住所2"),     QStringLiteral("発注元TEL番号"),
                                  QStringLiteral("発注元FAX番号"),   QStringLiteral("発注元MAIL"),
                                  QStringLiteral("発注元部門"),      QStringLiteral("発注元担当者CD"),
                                  QStringLiteral("発注元担当者名"),  QStringLiteral("発注元責任者名"),
                                  QStringLiteral("得意先CD"),        QStringLiteral("得意先名"),
                                  QStringLiteral("請求先CD"),        QStringLiteral("請求先名"),
                                  QStringLiteral("請求先住所1"),     QStringLiteral("請求先住所2"),
                                  QStringLiteral("請求先TEL番号"),   QStringLiteral("請求先FAX番号"),
                                  QStringLiteral("請求先部門"),      QStringLiteral("請求先担当者名"),
                                  QStringLiteral("納品先CD"),        QStringLiteral("納品先名"),
                                  QStringLiteral("納品先住所1"),     QStringLiteral("納品先住所2"),
                                  QStringLiteral("納品先TEL番号"),   QStringLiteral("納品先FAX番号"),
                                  QStringLiteral("納品先部門"),      QStringLiteral("納品先担当者名"),
                                  QStringLiteral("納品先名中文"),    QStringLiteral("納品先住所1中文"),
                                  QStringLiteral("納品先住所2中文"), QStringLiteral("通貨区分"),
                                  QStringLiteral("建値区分"),        QStringLiteral("販売形態"),
                                  QStringLiteral("運賃請求"),        QStringLiteral("納品形態"),
                                  QStringLiteral("運賃形態"),        QStringLiteral("ロス請求の有無"),
                                  QStringLiteral("ロス率"),          QStringLiteral("出荷方法"),
                                  QStringLiteral("商品集積地"),      QStringLiteral("決済経路1"),
                                  QStringLiteral("決済経路2"),       QStringLiteral("決済経路3"),
                                  QStringLiteral("決済経路4"),       QStringLiteral("決済経路5"),
                                  QStringLiteral("備考1"),           QStringLiteral("備考2"),
                                  QStringLiteral("備考3"),           QStringLiteral("備考4"),
                                  QStringLiteral("備考5"),           QStringLiteral("ケースマーク")};
    return c;
}

const QStringList& detailColumns() {
    static const QStringList c = {
        QStringLiteral("PO番号"),     QStringLiteral("PO行"),  QStringLiteral("商品CD"),
        QStringLiteral("客先商品CD"), QStringLiteral("品名1"), QStringLiteral("品名2"),
        QStringLiteral("数量"),       QStringLiteral("下代"),  QStringLiteral("上代"),
        QStringLiteral("金額"),       QStringLiteral("備考1"), QStringLiteral("備考2"),
        QStringLiteral("備考3")};
    return c;
}

QString insertSql(const QString& table, const QStringList& columns) {
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    return QStringLiteral("Insert Into %1 (%2) \r\nValues(%3)")
        .arg(table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
}

// "yyyymmdd" as "yyyy/mm/dd".
QString slashDate(const QString& yyyymmdd) {
    return yyyymmdd.mid(0, 4) + QLatin1Char('/') + yyyymmdd.mid(4, 2) + QLatin1Char('/') + yyyymmdd.mid(6, 2);
}

// A number as written: Null counts as 0.
double number(const QVariant& v) {
    return db::isNull(v) ? 0.0 : v.toDouble();
}

// A value written as a bare number: Null stays Null, a number keeps its type.
QVariant numberOrNull(const QVariant& v) {
    return db::isNull(v) ? QVariant() : v;
}

class Update {
public:
    Update(core::Prompter& prompter, db::Connection& work, db::Connection& po, QString poNo, QString poKbn,
           const QDate& issueDate)
        : prompter_(prompter), work_(work), po_(po), poNo_(std::move(poNo)), poKbn_(std::move(poKbn)),
          hakkoDate_(issueDate.toString(QStringLiteral("yyyy/MM/dd"))) {}

    void header() {
        po_.execute(QStringLiteral("Delete From TBL_PO_H Where PO番号 = ? "), {poNo_});
        QMap<QString, QString> group; // the first group, read whole before the next read
        {
            db::Reader r = work_.read(
                QStringLiteral(
                    "Select NOU_CD,NOU_NM,NOU_ADR1,NOU_ADR2,NOU_TEL,NOU_BUSHO_NM,NOU_TANTO_NM,KIBO_DATE,"
                    "ORD_SAKI_CD,ORD_SAKI_NM,KESSAI,SHKA_PLACE From rcv_denheaddata "
                    "Where PO_NO = ? And PO_KBN = ? "
                    "Group By NOU_CD,NOU_NM,NOU_ADR1,NOU_ADR2,NOU_TEL,NOU_BUSHO_NM,NOU_TANTO_NM,KIBO_DATE,"
                    "ORD_SAKI_CD,ORD_SAKI_NM,KESSAI,SHKA_PLACE "
                    "Order By KIBO_DATE,NOU_CD,NOU_NM,NOU_ADR1,NOU_ADR2,NOU_TEL,NOU_BUSHO_NM,NOU_TANTO_NM,"
                    "ORD_SAKI_CD,ORD_SAKI_NM,KESSAI,SHKA_PLACE "),
                {poNo_, poKbn_});
            if (r.atEnd())
                return; // no order of the PO: no header row
            for (int i = 0; i < r.columnCount(); ++i)
                group.insert(r.column(i).name.toUpper(), r.text(i));
        }
        auto g = [&](const char* column) { return group.value(QString::fromLatin1(column)); };
        const QString nouCd = g("NOU_CD");
        shkaPlace_ = g("SHKA_PLACE");
        const QString hold = work_.read(QStringLiteral("Select PO_NO,BIKO2 From rcv_denheaddata "
                                                       "Where PO_NO = ? And BIKO2 = '1'"),
                                        {poNo_})
                                     .atEnd()
                                 ? QString()
                                 : QStringLiteral("※出荷保留");
        const core::Session& s = core::session();
        const QString seiCd = s.fixed(QStringLiteral("請求先CD"));
        const QString tokCd = s.fixed(QStringLiteral("得意先CD"));

        QVariantList v{poNo_, hakkoDate_, poKbn_, QString(), QString(), QString(), slashDate(g("KIBO_DATE"))};
        {
            db::Reader sup = po_.read(
                QStringLiteral("Select MST_VORLIK_C.会社CD,MST_VORLIK_C.会社名,MST_VORLIK_C.会社住所1,"
                               "MST_VORLIK_C.会社住所2,MST_VORLIK_C.会社TEL番号,MST_VORLIK_C.会社FAX番号,"
                               "MST_VORLIK_C.会社MAIL,MST_VORLIK_C.会社部門,MST_VORLIK_C.会社担当者 "
                               "From (MST_VORLIK_C Inner Join TABLE_NOUHIN_INFO "
                               "On MST_VORLIK_C.会社CD = TABLE_NOUHIN_INFO.HACYUGAISYACD) "
                               "Inner Join MST_NOUHIN On TABLE_NOUHIN_INFO.NOUCD = MST_NOUHIN.NOUCD "
                               "Where TABLE_NOUHIN_INFO.SEICD = ? And TABLE_NOUHIN_INFO.TOKCD = ? "
                               "And MST_NOUHIN.NOUKYAKU_CD = ? "),
                {seiCd, tokCd, nouCd});
            for (int i = 0; i < 9; ++i)
                v << (sup.atEnd() ? QString() : sup.text(i));
            v << (sup.atEnd() ? QString() : sup.text(8)); // 発注先責任者名: the person in charge again
        }
        for (const char* key :
             {"発注元CD",   "発注元名",   "発注元住所1",    "発注元住所2",    "発注元TEL",    "発注元FAX",
              "発注元MAIL", "発注元部門", "発注元担当者CD", "発注元担当者名", "発注元責任者", "得意先CD",
              "得意先名",   "請求先CD",   "請求先名",       "請求先住所1",    "請求先住所2",  "請求先TEL",
              "請求先FAX",  "請求先部門", "請求先担当者"})
            v << s.fixed(QString::fromUtf8(key));

        qint64 nouCdNumber = 0;
        {
            db::Reader d =
                po_.read(QStringLiteral("Select * From MST_NOUHIN Where NOUKYAKU_CD = ? And TOKCD = ? "),
                         {nouCd, tokCd});
            if (!d.atEnd()) {
                nouCdNumber = qRound64(number(d.value(QStringLiteral("NOUCD"))));
                v << nouCdNumber;
                for (const char* c : {"NOU_NM", "NOU1_AD", "NOU2_AD", "NOU_TEL", "NOU_FAX", "NOU_BUNM",
                                      "NOU_TNM", "NOUCYU_NM", "NOUCYU1_AD", "NOUCYU2_AD"})
                    v << d.text(QString::fromLatin1(c));
            } else {
                v << nouCdNumber;
                for (const char* c : {"NOU_NM", "NOU_ADR1", "NOU_ADR2", "NOU_TEL"})
                    v << g(c);
                v << QString() << g("NOU_BUSHO_NM") << g("NOU_TANTO_NM") << QString() << QString()
                  << QString();
            }
        }
        {
            db::Reader t =
                po_.read(QStringLiteral("Select * From TABLE_NOUHIN_INFO Where SEICD = ? And TOKCD = ? "
                                        "And NOUCD = ? "),
                         {seiCd, tokCd, nouCdNumber});
            const bool found = !t.atEnd();
            auto text = [&](const char* c) { return found ? t.text(QString::fromLatin1(c)) : QString(); };
            auto bare = [&](const char* c) {
                return found ? numberOrNull(t.value(QString::fromLatin1(c))) : QVariant();
            };
            v << text("TUUKANM") << text("TATENENM") << text("HANBAINM") << bare("UNCHINKBN")
              << text("NOUHINNM") << text("UNCHINKAKUNINNM") << bare("LOSSSEIKYUKBN") << bare("LOSSPAR")
              << text("SYUKKANM") << text("SYUSEKINM");
            for (const char* c : {"KESSAIKEIRO1", "KESSAIKEIRO2", "KESSAIKEIRO3", "KESSAIKEIRO4",
                                  "KESSAIKEIRO5", "BIKO1NM", "BIKO2NM", "BIKO3NM", "BIKO4NM"})
                v << text(c);
            v << (found ? text("BIKO5NM") + QLatin1Char(' ') + hold : hold) << text("CASEMARK");
        }
        Q_ASSERT(v.size() == 70);
        po_.execute(insertSql(QStringLiteral("TBL_PO_H"), headerColumns()), v);
    }

    void detail() {
        po_.execute(QStringLiteral("Delete From TBL_PO_M Where PO番号 = ?"), {poNo_});
        const QString insert = insertSql(QStringLiteral("TBL_PO_M"), detailColumns());
        const bool japan = shkaPlace_ == QStringLiteral("日本渡し");
        int line = 0;
        for (db::Reader r = work_.read(
                 QStringLiteral(
                     "Select SHO_CD,SHO_NM1,SHO_NM2,SH_PRICE,KEM_PRICE1,KEM_PRICE2,Sum(SU) As SU計 "
                     "From rcv_skdata Where PO_NO = ? And PO_KBN = ? "
                     "Group By SHO_CD,SHO_NM1,SHO_NM2,SH_PRICE,KEM_PRICE1,KEM_PRICE2 Order By SHO_CD "),
                 {poNo_, poKbn_});
             !r.atEnd(); r.moveNext()) {
            // One value for the quantity column and the amount: a negative sum stays negative in both.
            const qint64 quantity = r.value(6).toLongLong(); // a Null sum counts as 0
            const double price = number(r.value(3));
            const double amount = core::dbfRound(prompter_, double(quantity) * price, 0, 2);
            QString name1 = r.text(1), name2 = r.text(2);
            name1.remove(QLatin1Char('\''));
            name2.remove(QLatin1Char('\''));
            po_.execute(insert,
                        {poNo_, ++line, r.text(0), QString(), name1, name2, quantity, price,
                         number(r.value(japan ? 5 : 4)), qint64(amount), QString(), QString(), QString()});
        }
    }

private:
    core::Prompter& prompter_;
    db::Connection& work_;
    db::Connection& po_;
    QString poNo_, poKbn_, hakkoDate_, shkaPlace_;
};

} // namespace

core::Outcome MF_PoDatabaseUpdate(core::Prompter& prompter, db::Connection& work, db::Connection& po,
                                  const QString& poNo, const QString& poKbn, const QDate& issueDate) {
    Update update(prompter, work, po, poNo, poKbn, issueDate.isValid() ? issueDate : QDate::currentDate());
    try {
        db::Transaction tx(po);
        update.header();
        update.detail();
        tx.commit();
        return core::Outcome::Done;
    } catch (const core::Error&) {
        // The transaction has rolled back: the PO keeps its previous rows.
    }
    prompter.message(
        QStringLiteral("PO番号(") + poNo +
            QStringLiteral(")のデータをPOデータベースにアップデートする際にエラーが発生しました。\r\n"
                           "処理はキャンセルされました。"),
        QStringLiteral("PO作成エラー"), core::MsgIcon::Critical);
    return core::Outcome::Failed;
}

} // namespace kemnoa::output
