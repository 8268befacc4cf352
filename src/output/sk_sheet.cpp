// The production-control (SK) sheets of the order workbook: one sheet per hang-tag job of the PO,
// from the production-control tables and the template MST_SK (opened once for all jobs). The
// template prepares 10 composition rows and a grid ("Qul") of 20 lines; a job with more gets rows
// inserted, so the caption, the grid and the total move down instead of being written over.

#include "core/program_folder.h"
#include "output/package_run.h"
#include "output/sheet_common.h"
#include "platform/db/reader.h"
#include "platform/text/cp932.h"
#include "platform/xlsx/barcode.h"
#include "receiving/half_width.h"

#include <QFileInfo>
#include <cmath>
#include <vector>

namespace kemnoa::output {
namespace {

constexpr uint32_t kFirstComposition = 24; // B24 on: one composition line a row
constexpr uint32_t kPreparedComposition = 10;
constexpr uint32_t kTotalRow = 57; // B57, below the grid
constexpr int kTrackedColumns = 51;
constexpr int kSkuFields = 22; // F1 ... F22

struct Job {
    QString po, skno, orderNo, orderDate, wishDate, productNo, place, process, brand, kind, layout;
    qint64 no = 0;
};

struct GridLine {
    int cols = 0;
    QStringList fields; // F1 ... F cols
};

class SkSheets {
public:
    explicit SkSheets(PackageRun& run) : run_(run) {}

    void make() {
        std::vector<Job> jobs;
        for (db::Reader r = run_.sk.read(QStringLiteral("Select * From TBL_H Where PO = ? And 品種 = '下札' "
                                                        "Order By NO "),
                                         {run_.PkgPoNo});
             !r.atEnd(); r.moveNext())
            jobs.push_back({r.text(QStringLiteral("PO")), r.text(QStringLiteral("SKNO")),
                            r.text(QStringLiteral("発注番号")), r.text(QStringLiteral("発注日")),
                            r.text(QStringLiteral("希望納期")), r.text(QStringLiteral("品番")),
                            r.text(QStringLiteral("生産場所")), r.text(QStringLiteral("工程")),
                            r.text(QStringLiteral("ブランド")), r.text(QStringLiteral("品種")),
                            r.text(QStringLiteral("品名")), r.value(QStringLiteral("NO")).toLongLong()});
        if (jobs.empty())
            return;
        xlsx::Workbook source = openTemplate(run_.programFolder, QStringLiteral("MST_SK.xlsx"));
        for (const Job& job : jobs)
            sheetOf(source, job);
    }

private:
    // The rows of a job's table in LINE order (or its one row), values by lower-case column name.
    std::vector<QHash<QString, QVariant>> rowsOf(const QString& table, const Job& job, bool lines) {
        std::vector<QHash<QString, QVariant>> rows;
        for (db::Reader r = run_.sk.read(QStringLiteral("Select * From %1 Where PO = ? And NO = ? %2")
                                             .arg(table, lines ? QStringLiteral("Order By LINE") : QString()),
                                         {job.po, job.no});
             !r.atEnd(); r.moveNext()) {
            QHash<QString, QVariant> row;
            for (int c = 0; c < r.columnCount(); ++c)
                row.insert(r.column(c).name.toLower(), r.value(c));
            rows.push_back(std::move(row));
        }
        return rows;
    }

    static QString text(const QHash<QString, QVariant>& row, const QString& column) {
        return asText(row.value(column.toLower()));
    }

    void sheetOf(xlsx::Workbook& source, const Job& job) {
        xlsx::Sheet s = run_.PkgBook->copySheetToEnd(source.sheet(1));
        run_.PkgBook->activate(s.index());
        const QString no = QString::number(job.no);
        const QList<std::pair<const char*, QString>> header = {
            {"B5", job.orderNo},
            {"G5", job.po + QLatin1Char('-') + no},
            {"L5", job.po},
            {"Q5", slashDate(job.orderDate)},
            {"V5", slashDate(job.wishDate)},
            {"G7", job.place},
            {"L7", job.process},
            {"Q7", job.brand},
            {"AA6", job.kind},
            {"AA7", job.layout},
            {"B7", job.productNo},
        };
        for (const auto& [cell, value] : header)
            s.range(QString::fromLatin1(cell)).setText(value);
        xlsx::insertCode39(s, QStringLiteral("AJ2"),
                           QLatin1Char('*') + job.skno + QLatin1Char('-') + no + QLatin1Char('*'),
                           {150, 25, true});
        picture(s, job.layout);

        const auto parties = rowsOf(QStringLiteral("TBL_NJ"), job, false);
        if (!parties.empty()) {
            const auto& p = parties.front();
            s.range(QStringLiteral("F9"))
                .setText(text(p, QStringLiteral("発注元CD")) + QLatin1Char(' ') +
                         text(p, QStringLiteral("発注元名")));
            s.range(QStringLiteral("F10"))
                .setText(text(p, QStringLiteral("請求先CD")) + QLatin1Char(' ') +
                         text(p, QStringLiteral("請求先名")));
            s.range(QStringLiteral("F11"))
                .setText(text(p, QStringLiteral("納品先CD")) + QLatin1Char(' ') +
                         text(p, QStringLiteral("納品先名")));
        }

        // Composition lines; rows past the prepared ones are inserted above the grid's caption.
        const auto composition = rowsOf(QStringLiteral("TBL_QUA"), job, true);
        uint32_t moved = 0;
        if (composition.size() > kPreparedComposition) {
            moved = uint32_t(composition.size()) - kPreparedComposition;
            const uint32_t lastPrepared = kFirstComposition + kPreparedComposition - 1;
            s.insertRows(lastPrepared + 1, moved);
            s.copyRowFormat(lastPrepared, lastPrepared + 1, lastPrepared + moved);
        }
        for (size_t i = 0; i < composition.size(); ++i) {
            const QString line = text(composition[i], QStringLiteral("内容"));
            // An empty line still holds its place.
            s.cell(kFirstComposition + uint32_t(i), 2).setText(line.isEmpty() ? QStringLiteral(" ") : line);
        }

        moved += grid(s, job);

        const auto total = rowsOf(QStringLiteral("TBL_TOTAL"), job, false);
        if (!total.empty())
            s.cell(kTotalRow + moved, 2).setValue(text(total.front(), QStringLiteral("数量")));
        s.setName(job.po + QLatin1Char('-') + no);
    }

    // The layout picture: program folder + layout code + ".jpg", when that file exists.
    void picture(xlsx::Sheet& s, const QString& layout) {
        if (layout.isEmpty())
            return;
        if (!isPlainFileName(layout))
            throw core::Error(QStringLiteral("レイアウトコード \"") + layout +
                                  QStringLiteral("\" はファイル名に使えません"),
                              core::errnum::General);
        const QString path = core::joinPath(run_.programFolder, layout + QStringLiteral(".jpg"));
        if (!QFileInfo(path).isFile())
            return;
        const QString shape = s.insertPicture(path, QStringLiteral("AK6"));
        s.moveShape(shape, 3, 3);
    }

    // Fills the grid area "Qul" with the job's size and colour lines and sets its column widths from
    // the texts; returns the number of rows inserted for lines past the prepared ones.
    uint32_t grid(xlsx::Sheet& s, const Job& job) {
        std::vector<GridLine> lines;
        for (const auto& row : rowsOf(QStringLiteral("TBL_SKU"), job, true)) {
            GridLine g;
            g.cols = std::clamp(row.value(QStringLiteral("cols")).toInt(), 0, kSkuFields);
            for (int c = 1; c <= g.cols; ++c)
                g.fields << receiving::toHalfWidth(text(row, QStringLiteral("F%1").arg(c)).trimmed());
            lines.push_back(std::move(g));
        }
        if (lines.empty())
            return 0;
        xlsx::Range area = s.namedRange(QStringLiteral("Qul"));
        uint32_t inserted = 0;
        if (lines.size() > area.ref().rows()) {
            // New grid rows go in above the last one, so the area grows and keeps its last row's format.
            inserted = uint32_t(lines.size()) - area.ref().rows();
            const uint32_t last = area.ref().last.row;
            s.insertRows(last, inserted);
            s.copyRowFormat(last + inserted, last, last + inserted - 1);
            area = s.namedRange(QStringLiteral("Qul"));
        }
        const double fontSize = area.cell(1, 1).fontSize();
        std::vector<long> widest(kTrackedColumns + 1, 0);
        for (size_t n = 0; n < lines.size(); ++n) {
            const GridLine& g = lines[n];
            for (int c = 1; c <= g.cols; ++c) {
                const QString& value = g.fields[c - 1];
                area.cell(uint32_t(n + 1), uint32_t(c)).setText(value);
                qsizetype bytes = text::cp932Length(value);
                bytes += bytes % 2;
                const long candidate = std::lround(fontSize * double(bytes) / 2);
                if (c <= kTrackedColumns)
                    widest[size_t(c)] = std::max(widest[size_t(c)], candidate);
            }
        }
        const int cols = std::min(lines.back().cols, kTrackedColumns);
        for (int c = 1; c <= cols; ++c)
            area.cell(1, uint32_t(c)).setColumnWidth(double(widest[size_t(c)] + (c > cols - 2 ? 22 : 11)));
        return inserted;
    }

    PackageRun& run_;
};

} // namespace

core::Outcome MF_SkSheetMake(PackageRun& run) {
    try {
        SkSheets(run).make();
        return core::Outcome::Done;
    } catch (const core::Error& e) {
        return reportFailure(run.prompter, QStringLiteral("MF_SkSheetMake"), e);
    }
}

} // namespace kemnoa::output
