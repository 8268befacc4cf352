#include "care_masters/master_printing.h"

#include "core/error.h"
#include "core/program_folder.h"
#include "platform/db/reader.h"
#include "platform/db/sql_text.h"

#include <QDate>

namespace kemnoa::care_masters {
namespace {

constexpr int kSetsPerPage = 8;
constexpr int kLinesPerColumn = 80;

const QString kCrLf = QStringLiteral("\r\n");

QString titleOf(const QString& layout) {
    if (layout == kEhjRequestLayout)
        return QStringLiteral("KEM:絵表示登録依頼書");
    if (layout == kFukiRequestLayout)
        return QStringLiteral("KEM:付記用語登録依頼書");
    if (layout == kEhjListingLayout)
        return QStringLiteral("絵表示マスタ");
    return QStringLiteral("付記用語マスタ");
}

void stop(core::Prompter& prompter) {
    prompter.message(QStringLiteral("印刷を中止します。"), QStringLiteral("エラー"), core::MsgIcon::Critical);
}

void unexpected(core::Prompter& prompter, const core::Error& e) {
    prompter.message(QStringLiteral("予期しないエラーが発生しました。\r\n\r\n") + e.description(),
                     QStringLiteral("印刷を強制終了"), core::MsgIcon::Critical);
    stop(prompter);
}

// Steps 1 to 5 of every print: reset, the job with its title and printer, the layout.
bool openJob(PrintTarget& target, core::Prompter& prompter, const QString& layout) {
    try {
        target.control.reset();
        if (target.control.startJob(titleOf(layout), target.printerName) != 0) {
            prompter.message(QStringLiteral("プリンタ名が正しくありません。"), QString(),
                             core::MsgIcon::None);
            stop(prompter);
            return false;
        }
        target.control.loadLayout(layoutPath(layout));
    } catch (const core::Error& e) {
        target.control.close();
        unexpected(prompter, e);
        return false;
    }
    return true;
}

// No row: said, and the job is dropped without a page, so no blank sheet comes out.
void noRow(PrintTarget& target, core::Prompter& prompter) {
    target.control.closeForm();
    target.control.close();
    prompter.message(QStringLiteral("レコードが見つかりません。"), QStringLiteral("エラー"),
                     core::MsgIcon::Critical);
}

void fillPicture(report::ReportControl& control, const QString& field, const QString& code) {
    const QString file = existingSymbolPicture(code);
    if (!file.isEmpty())
        control.setPicture(field, file);
}

// One side of a registration request: positions (pictures and codes, or the wording), spares, date.
void fillRequestSide(const MasterKind& kind, report::ReportControl& control, const db::Reader& r,
                     const QChar side) {
    const QString s(side);
    if (kind.symbols) {
        for (int k = 1; k <= kind.valueColumns.size(); ++k) {
            const QString code = r.text(kind.valueColumns[k - 1]);
            if (code.isEmpty())
                continue;
            fillPicture(control, s + QStringLiteral("1_%1").arg(k), code);
            control.setText(s + QStringLiteral("2_%1").arg(k), code);
        }
    } else {
        control.setText(s + QStringLiteral("1"), r.text(kind.valueColumns[0]));
    }
    for (int k = 1; k <= spareColumns().size(); ++k)
        control.setText(s + QStringLiteral("3_%1").arg(k), r.text(spareColumns()[k - 1]));
}

QString kindText(const QString& syoriFlg) {
    if (syoriFlg == QLatin1String("N"))
        return QStringLiteral("新規");
    if (syoriFlg == QLatin1String("U"))
        return QStringLiteral("更新");
    if (syoriFlg == QLatin1String("D"))
        return QStringLiteral("削除");
    return {};
}

void fillEhjSlot(report::ReportControl& control, const db::Reader& r, int i) {
    control.setText(QStringLiteral("h1_%1").arg(i), r.text(QStringLiteral("EHJ_NO")));
    control.setText(QStringLiteral("h5_%1").arg(i), r.text(QStringLiteral("EHJ_HENKAN")));
    control.setText(QStringLiteral("h6_%1").arg(i), r.text(QStringLiteral("UPD")));
    for (int j = 1; j <= 6; ++j) {
        const QString code = r.text(QStringLiteral("EHJ%1").arg(j));
        if (code.isEmpty())
            continue;
        fillPicture(control, QStringLiteral("h2_%1_%2").arg(j).arg(i), code);
        control.setText(QStringLiteral("h3_%1_%2").arg(j).arg(i), code);
    }
    for (int k = 1; k <= 5; ++k)
        control.setText(QStringLiteral("h4_%1_%2").arg(k).arg(i), r.text(spareColumns()[k - 1]));
}

int crCount(const QString& text) {
    return static_cast<int>(text.count(QLatin1Char('\r')));
}

void emitTermPage(report::ReportControl& control, const std::array<QString, 3>& columns, int pageNumber) {
    for (int c = 0; c < 3; ++c)
        control.setText(QStringLiteral("h1_%1").arg(c + 1), columns[c]);
    control.setText(QStringLiteral("h2"), QString::number(pageNumber));
    control.setText(QStringLiteral("h3"), QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd")));
    control.outputPage();
    control.clearForm();
}

} // namespace

QString layoutPath(const QString& baseName) {
    return core::joinPath(core::programFolder(), baseName + QStringLiteral(".layout"));
}

void printRequest(const MasterKind& kind, PrintTarget target, core::Prompter& prompter,
                  db::Connection& connection, qint32 id) {
    if (!openJob(target, prompter, kind.symbols ? kEhjRequestLayout : kFukiRequestLayout))
        return;
    report::ReportControl& control = target.control;
    try {
        db::Reader r =
            connection.read(QStringLiteral("Select * From %1 Where ID = ?").arg(kind.stagingTable), {id});
        if (r.atEnd()) {
            noRow(target, prompter);
            return;
        }
        control.setText(QStringLiteral("h1"), r.text(kind.keyColumn));
        control.setText(QStringLiteral("h2"), r.text(QStringLiteral("UPD")));
        control.setText(QStringLiteral("h4"), r.text(QStringLiteral("MEMO")));
        const QString kind3 = kindText(r.text(QStringLiteral("SYORI_FLG")));
        if (!kind3.isEmpty())
            control.setText(QStringLiteral("h3"), kind3);
        fillRequestSide(kind, control, r, QLatin1Char('c'));
        db::Reader m =
            connection.read(QStringLiteral("Select * From %1 Where %2 = ?").arg(kind.table, kind.keyColumn),
                            {control.fieldText(QStringLiteral("h1"))});
        if (!m.atEnd()) {
            control.setText(QStringLiteral("m4"), m.text(QStringLiteral("UPD")));
            fillRequestSide(kind, control, m, QLatin1Char('m'));
        }
        control.outputPage();
        control.clearForm();
        control.closeForm();
        control.endJob();
        control.close();
    } catch (const core::Error& e) {
        control.close();
        unexpected(prompter, e);
    }
}

void MP_EhjIraiPrint(PrintTarget target, core::Prompter& prompter, db::Connection& connection, qint32 id) {
    printRequest(ehjKind(), target, prompter, connection, id);
}

void MP_FukiIraiPrint(PrintTarget target, core::Prompter& prompter, db::Connection& connection, qint32 id) {
    printRequest(fukiKind(), target, prompter, connection, id);
}

QString termBlock(const QString& number, const QString& upd, const QString& wording,
                  const QStringList& spares) {
    QString block = QStringLiteral("[") + number + QStringLiteral("]") + kCrLf + upd + kCrLf +
                    QString(45, QLatin1Char('-')) + kCrLf + wording + kCrLf + kCrLf;
    bool anySpare = false;
    for (const QString& s : spares) {
        if (s.isEmpty())
            continue;
        block += s + kCrLf;
        anySpare = true;
    }
    if (anySpare)
        block += kCrLf;
    return block;
}

std::vector<std::array<QString, 3>> termListingPages(const std::vector<QString>& blocks) {
    std::vector<std::array<QString, 3>> pages;
    std::array<QString, 3> columns;
    int column = 0;
    int lines = 1;
    for (QString block : blocks) {
        block.replace(kCrLf, QStringLiteral("\r"));
        const int blockLines = crCount(block);
        if (blockLines + lines > kLinesPerColumn) {
            if (column < 2) {
                ++column;
            } else {
                pages.push_back(columns);
                columns = {};
                column = 0;
            }
        }
        columns[column] += block;
        lines = crCount(columns[column]);
    }
    pages.push_back(columns);
    return pages;
}

void printListing(const MasterKind& kind, PrintTarget target, core::Prompter& prompter,
                  db::Connection& connection, const QString& statement) {
    if (!openJob(target, prompter, kind.symbols ? kEhjListingLayout : kFukiListingLayout))
        return;
    report::ReportControl& control = target.control;
    try {
        db::Reader r = connection.read(statement);
        if (r.atEnd()) {
            noRow(target, prompter);
            return;
        }
        if (kind.symbols) {
            int slot = 1;
            while (true) {
                fillEhjSlot(control, r, slot);
                r.moveNext();
                if (r.atEnd()) {
                    control.outputPage();
                    control.clearForm();
                    control.closeForm();
                    break;
                }
                if (++slot > kSetsPerPage) {
                    control.outputPage();
                    control.clearForm();
                    slot = 1;
                }
            }
        } else {
            std::vector<QString> blocks;
            for (; !r.atEnd(); r.moveNext()) {
                QStringList spares;
                for (const QString& c : spareColumns())
                    spares << r.text(c);
                blocks.push_back(termBlock(r.text(QStringLiteral("FUKI_NO")), r.text(QStringLiteral("UPD")),
                                           r.text(QStringLiteral("FUKI_NAIYO")), spares));
            }
            int pageNumber = 1;
            for (const auto& columns : termListingPages(blocks))
                emitTermPage(control, columns, pageNumber++);
            control.closeForm();
        }
        control.endJob();
        control.close();
    } catch (const core::Error& e) {
        control.close();
        unexpected(prompter, e);
    }
}

void MP_EhjMstPrint(PrintTarget target, core::Prompter& prompter, db::Connection& connection,
                    const QString& statement) {
    printListing(ehjKind(), target, prompter, connection, statement);
}

void MP_FukiMstPrint(PrintTarget target, core::Prompter& prompter, db::Connection& connection,
                     const QString& statement) {
    printListing(fukiKind(), target, prompter, connection, statement);
}

QString listingStatement(const MasterKind& kind, const QStringList& numbers) {
    QString sql = QStringLiteral("Select * From ") + kind.table + QLatin1Char(' ');
    if (!numbers.isEmpty()) {
        QStringList quoted;
        for (const QString& n : numbers)
            quoted << db::quote(n);
        sql += QStringLiteral("Where ") + kind.keyColumn + QStringLiteral(" In (") +
               quoted.join(QLatin1Char(',')) + QStringLiteral(") ");
    }
    return sql + QStringLiteral("Order By ") + kind.keyColumn + QLatin1Char(' ');
}

QString rangeStatement(const MasterKind& kind, const QString& from, const QString& to) {
    QStringList where;
    if (!from.isEmpty())
        where << kind.keyColumn + QStringLiteral(" >= ") + db::quote(from);
    if (!to.isEmpty())
        where << kind.keyColumn + QStringLiteral(" <= ") + db::quote(to);
    QString sql = QStringLiteral("Select * From ") + kind.table + QLatin1Char(' ');
    if (!where.isEmpty())
        sql += QStringLiteral("Where ") + where.join(QStringLiteral(" And ")) + QLatin1Char(' ');
    return sql + QStringLiteral("Order By ") + kind.keyColumn + QLatin1Char(' ');
}

std::vector<PrintListRow> printListRows(const MasterKind& kind, db::Connection& connection) {
    std::vector<PrintListRow> rows;
    db::Reader r =
        connection.read(QStringLiteral("Select %2, UPD From %1 Order By %2").arg(kind.table, kind.keyColumn));
    for (; !r.atEnd(); r.moveNext())
        rows.push_back({r.text(0), r.text(1)});
    return rows;
}

QString printScreenStatement(const MasterKind& kind, bool all, const std::vector<PrintListRow>& rows) {
    QStringList ticked;
    if (!all)
        for (const PrintListRow& row : rows)
            if (row.tick != QLatin1String("0"))
                ticked << row.number;
    return listingStatement(kind, ticked);
}

} // namespace kemnoa::care_masters
