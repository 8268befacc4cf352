// The PO order sheets of the order workbook: for every page of 20 lines a delivery-information sheet
// ("納品情報" + page) and, for PO kind "0", a purchase-order sheet ("PO" + page) with line amounts and
// running totals. The template MST_PO is opened once; its two sheets are copied for every page.

#include "core/dbf_round.h"
#include "output/package_run.h"
#include "output/sheet_common.h"
#include "platform/db/reader.h"

#include <QHash>
#include <vector>

namespace kemnoa::output {
namespace {

constexpr int kLinesPerPage = 20;

struct PoLine {
    QVariant code, name1, name2, customerCode, quantity, price, listPrice;
};

class PoSheets {
public:
    PoSheets(PackageRun& run) : run_(run) {}

    void make() {
        {
            db::Reader h =
                run_.po.read(QStringLiteral("Select * From TBL_PO_H Where PO番号 = ? "), {run_.PkgPoNo});
            if (h.atEnd())
                return;
            for (int c = 0; c < h.columnCount(); ++c)
                header_.insert(h.column(c).name.toLower(), h.value(c));
        }
        std::vector<PoLine> lines;
        for (db::Reader r = run_.po.read(
                 QStringLiteral("Select * From TBL_PO_M Where PO番号 = ? Order By PO行 "), {run_.PkgPoNo});
             !r.atEnd(); r.moveNext())
            lines.push_back({r.value(QStringLiteral("商品CD")), r.value(QStringLiteral("品名1")),
                             r.value(QStringLiteral("品名2")), r.value(QStringLiteral("客先商品CD")),
                             r.value(QStringLiteral("数量")), r.value(QStringLiteral("下代")),
                             r.value(QStringLiteral("上代"))});
        if (lines.empty())
            return;
        const int pages = (int(lines.size()) + kLinesPerPage - 1) / kLinesPerPage;
        const bool purchaseOrder = run_.PkgPoKbn == QStringLiteral("0");
        xlsx::Workbook source = openTemplate(run_.programFolder, QStringLiteral("MST_PO.xlsx"));
        const std::optional<xlsx::Sheet> infoTemplate = source.sheet(QStringLiteral("海外納品情報"));
        const std::optional<xlsx::Sheet> orderTemplate = source.sheet(QStringLiteral("Purchase Order"));
        if (!infoTemplate || (purchaseOrder && !orderTemplate))
            throw core::Error(
                QStringLiteral(
                    "MST_PO.xlsx にシート \"海外納品情報\" または \"Purchase Order\" がありません"),
                core::errnum::General);

        qint64 quantityTotal = 0;
        double amountTotal = 0;
        std::optional<xlsx::Sheet> info, order;
        for (size_t i = 0; i < lines.size(); ++i) {
            const int page = int(i) / kLinesPerPage + 1;
            const int k = int(i) % kLinesPerPage;
            if (k == 0) {
                info = run_.PkgBook->copySheetToEnd(*infoTemplate);
                info->setName(QStringLiteral("納品情報%1").arg(page));
                if (purchaseOrder) {
                    order = run_.PkgBook->copySheetToEnd(*orderTemplate);
                    order->setName(QStringLiteral("PO%1").arg(page));
                }
                writeInfoHeader(*info, page, pages);
                if (purchaseOrder)
                    writeOrderHeader(*order, page, pages);
            }
            const PoLine& line = lines[i];
            const uint32_t r = uint32_t(34 + 2 * k), q = uint32_t(17 + 2 * k);
            const double quantity = line.quantity.isNull() ? 0 : line.quantity.toDouble();
            const double price = line.price.isNull() ? 0 : line.price.toDouble();
            const double amount = lineAmount(quantity, price);
            quantityTotal += qint64(quantity);
            amountTotal += amount;

            text(*info, QStringLiteral("B%1").arg(r), asText(line.code));
            text(*info, QStringLiteral("J%1").arg(r), asText(line.name1));
            text(*info, QStringLiteral("J%1").arg(r + 1), asText(line.name2));
            text(*info, QStringLiteral("AI%1").arg(r), asText(line.customerCode));
            text(*info, QStringLiteral("AR%1").arg(r), numberText(line.quantity));
            text(*info, QStringLiteral("AY%1").arg(r), numberText(line.price));
            text(*info, QStringLiteral("BF%1").arg(r), numberText(line.listPrice));
            if (purchaseOrder) {
                text(*order, QStringLiteral("D%1").arg(q), asText(line.code));
                text(*order, QStringLiteral("L%1").arg(q), asText(line.name1));
                text(*order, QStringLiteral("L%1").arg(q + 1), asText(line.name2));
                text(*order, QStringLiteral("AK%1").arg(q), numberText(line.quantity));
                text(*order, QStringLiteral("AT%1").arg(q), numberText(line.price));
                order->range(QStringLiteral("BC%1").arg(q)).setNumber(amount);
                order->range(QStringLiteral("AK57")).setNumber(double(quantityTotal));
                order->range(QStringLiteral("BC57")).setNumber(amountTotal);
            }
        }
    }

private:
    // The quantity times the unit price in four-decimal fixed point, cut off to a whole number.
    double lineAmount(double quantity, double price) {
        const std::optional<core::Currency> product = core::Currency::fromDouble(price * quantity);
        if (!product)
            throw core::Error(QStringLiteral("金額が大きすぎます"), 6);
        return core::dbfRound(run_.prompter, *product, 0, 2);
    }

    // Header columns by name; PostgreSQL folds the ASCII letters of names to lower case.
    QVariant v(const QString& column) const { return header_.value(column.toLower()); }
    QString h(const QString& column) const { return asText(v(column)); }
    QString h(const char* column) const { return h(QString::fromUtf8(column)); }
    QString joined(std::initializer_list<const char*> columns) const {
        QStringList parts;
        for (const char* c : columns)
            parts << h(c);
        return parts.join(QLatin1Char(' '));
    }
    static void text(xlsx::Sheet& sheet, const QString& cell, const QString& value) {
        sheet.range(cell).setText(value);
    }

    void writeInfoHeader(xlsx::Sheet& s, int page, int pages) {
        const QVariant freight = v(QStringLiteral("運賃請求"));
        const QVariant loss = v(QStringLiteral("ロス率"));
        const QVariant lossClaim = v(QStringLiteral("ロス請求の有無"));
        const auto isNumber = [](const QVariant& v, double n) {
            bool ok = false;
            return !v.isNull() && v.isValid() && v.toString().toDouble(&ok) == n && ok;
        };
        const QList<std::pair<const char*, QString>> cells = {
            {"I3", h("発注先名")},
            {"AU1", h("PO番号")},
            {"BC3", slashDate(v(QStringLiteral("PO発行日")))},
            {"BC2", QStringLiteral("%1/%2").arg(page).arg(pages)},
            {"H5", joined({"得意先CD", "得意先名"})},
            {"AT5", joined({"発注元担当者CD", "発注元担当者名"})},
            {"L7", h("納品先名")},
            {"L8", h("納品先名中文")},
            {"L9", joined({"納品先住所1", "納品先住所2"})},
            {"L10", joined({"納品先住所1中文", "納品先住所2中文"})},
            {"H11", h("納品先TEL番号")},
            {"X11", h("納品先FAX番号")},
            {"AN11", h("納品先担当者名")},
            {"BJ11", h("納品先CD")},
            {"H14", joined({"請求先名", "請求先部門"})},
            {"H15", joined({"請求先住所1", "請求先住所2"})},
            {"H16", h("請求先TEL番号")},
            {"X16", h("請求先FAX番号")},
            {"AN16", h("請求先担当者名")},
            {"BD16", h("請求先CD")},
            {"K17", h("希望納期")},
            {"K18", h("納品形態")},
            {"K19", h("出荷方法")},
            {"K20", isNumber(freight, 0) ? QStringLiteral("無し") : QStringLiteral("有り")},
            {"K21", h("運賃形態")},
            {"K22", h("建値区分")},
            {"K23", h("通貨区分")},
            {"AF17", isNumber(loss, 1) ? QStringLiteral("込み") : numberText(loss)},
            {"AF18", isNumber(lossClaim, 0) ? QStringLiteral("不可") : QStringLiteral("可能")},
            {"AF19", h("販売形態")},
            {"AF20", h("商品集積地")},
            {"AF22", h("客先契約番号")},
            {"AF23", h("KP番号")},
            {"AR26", h("ケースマーク")},
            {"I75", h("発注元名")},
        };
        for (const auto& [cell, value] : cells)
            text(s, QString::fromLatin1(cell), value);
        for (int n = 1; n <= 5; ++n) {
            text(s, QStringLiteral("BA%1").arg(16 + n), h(QStringLiteral("決済経路%1").arg(n)));
            text(s, QStringLiteral("B%1").arg(26 + n), h(QStringLiteral("備考%1").arg(n)));
        }
    }

    void writeOrderHeader(xlsx::Sheet& s, int page, int pages) {
        QString remarks;
        for (int n = 1; n <= 5; ++n)
            remarks += h(QStringLiteral("備考%1").arg(n));
        const QList<std::pair<const char*, QString>> cells = {
            {"H7", h("発注先名")},
            {"H8", h("発注先住所1")},
            {"H9", h("発注先住所2")},
            {"H11", h("発注先TEL番号")},
            {"H13", h("発注先責任者名")},
            {"AY7", pages > 1 ? h("PO番号") + QStringLiteral("-%1").arg(page) : h("PO番号")},
            {"AU11", slashDate(v(QStringLiteral("PO発行日")))},
            {"AU13", joined({"発注元担当者CD", "発注元担当者名"})},
            {"J60", remarks},
            {"S62", joined({"請求先CD", "請求先名", "請求先部門"})},
            {"L63", h("納品先名")},
            {"S64", h("希望納期")},
            {"D71", h("発注先名")},
            {"AR71", h("発注元名")},
            {"AT57", h("通貨区分")},
            {"AT60", h("客先契約番号")},
        };
        for (const auto& [cell, value] : cells)
            text(s, QString::fromLatin1(cell), value);
    }

    PackageRun& run_;
    QHash<QString, QVariant> header_;
};

} // namespace

core::Outcome MF_PoSheetMake(PackageRun& run) {
    try {
        PoSheets(run).make();
        return core::Outcome::Done;
    } catch (const core::Error& e) {
        return reportFailure(run.prompter, QStringLiteral("MF_PoSheetMake"), e);
    }
}

} // namespace kemnoa::output
