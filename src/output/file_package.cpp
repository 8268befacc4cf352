#include "output/file_package.h"

#include "core/error.h"
#include "core/program_folder.h"
#include "output/sheet_common.h"
#include "platform/xlsx/workbook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

namespace kemnoa::output {
namespace {

const QString kTitle = QStringLiteral("MF_FilePackageMake");

struct StepRow {
    PackageSteps::Step PackageSteps::*step;
    const char* progress;
    const char* failure;
    bool sheet; // adds sheets to the workbook
};

const StepRow kSteps[] = {
    {&PackageSteps::poSheet, "PO.xls作成しています。", "PO作成中にエラーが発生。", true},
    {&PackageSteps::skSheet, "SK.xls作成しています。", "SK作成中にエラーが発生。", true},
    {&PackageSteps::careSheet, "洗濯ネーム.xls作成しています。", "洗濯ネーム.xls作成中にエラーが発生。",
     true},
    {&PackageSteps::assortSheet, "アソート.xls作成しています。", "アソート.xls作成中にエラーが発生。", true},
    {&PackageSteps::xml, "PO.XML作成しています。", "XML作成中にエラーが発生。", false},
};

// Removes a file when it exists; throws when it stays.
void removeFile(const QString& path) {
    if (QFileInfo::exists(path) && !QFile::remove(path))
        throw core::Error(QStringLiteral("前回のファイル(") + path + QStringLiteral(")を削除できません。"),
                          core::errnum::PermissionDenied);
}

const QStringList& deviceNames() {
    static const QStringList names = [] {
        QStringList n{QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                      QStringLiteral("NUL")};
        for (int i = 1; i <= 9; ++i)
            n << QStringLiteral("COM%1").arg(i) << QStringLiteral("LPT%1").arg(i);
        return n;
    }();
    return names;
}

} // namespace

void removeEarlierPackage(const QString& poFolder, const QString& poNo) {
    const QString folder = core::withSeparator(poFolder);
    for (const QString& kind : {QStringLiteral("0"), QStringLiteral("1")})
        removeFile(folder + orderWorkbookName(poNo, kind));
    for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System))
        if (f.suffix().compare(QLatin1String("xml"), Qt::CaseInsensitive) == 0)
            removeFile(f.absoluteFilePath());
}

// The workbook templates and layout pictures lie in the program folder (its templates/ folder
// is searched too).
QString templateFolder() {
    return core::withSeparator(core::programFolder());
}

QString orderWorkbookName(const QString& poNo, const QString& poKbn) {
    return poBookFileName(poNo, poKbn);
}

QString fileNameProblem(const QString& value) {
    if (value.isEmpty())
        return QStringLiteral("空です");
    if (value.contains(QLatin1Char('/')) || value.contains(QLatin1Char('\\')))
        return QStringLiteral("区切り文字を含みます");
    if (value.contains(QLatin1String("..")))
        return QStringLiteral("\"..\"を含みます");
    for (const QChar c : value)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || QStringView(u"<>:\"|?*").contains(c))
            return QStringLiteral("ファイル名に使えない文字を含みます");
    if (value.back() == QLatin1Char(' ') || value.back() == QLatin1Char('.') ||
        value.front() == QLatin1Char(' '))
        return QStringLiteral("前後に空白または末尾に\".\"があります");
    if (deviceNames().contains(value.section(QLatin1Char('.'), 0, 0), Qt::CaseInsensitive))
        return QStringLiteral("装置名と同じです");
    return {};
}

core::Outcome MF_FilePackageMake(core::Prompter& prompter, db::Connection& work, db::Connection& po,
                                 db::Connection& sk, const QString& poNo, const QString& poKbn,
                                 const QString& poFolder, const QString& templates,
                                 const PackageSteps& steps) {
    if (const QString problem = fileNameProblem(poNo); !problem.isEmpty()) {
        prompter.message(QStringLiteral("PO番号(") + poNo + QStringLiteral(")はファイル名に使えません(") +
                             problem + QStringLiteral(")。"),
                         kTitle, core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    PackageRun run{
        prompter, work, po, sk, poNo, poKbn, core::withSeparator(templates), core::withSeparator(poFolder)};
    const QString workbookName = orderWorkbookName(poNo, poKbn);
    std::optional<xlsx::Workbook> book;
    try {
        removeEarlierPackage(run.poFolder, poNo);
        book = openTemplate(run.programFolder, QStringLiteral("MST_DEF.xlsx"));
    } catch (const core::Error& e) {
        prompter.message(e.text(), kTitle, core::MsgIcon::Critical);
        return core::Outcome::Failed;
    }
    run.PkgBook = &*book;

    bool sheetsComplete = true;
    bool complete = true;
    for (const StepRow& row : kSteps) {
        prompter.splashStatus(QString::fromUtf8(row.progress));
        core::Outcome outcome = core::Outcome::Failed;
        try {
            outcome = (steps.*row.step)(run);
        } catch (const core::Error& e) {
            prompter.message(QStringLiteral("PO番号(") + poNo +
                                 QStringLiteral(")の作成中にエラーが発生しました。\r\n") + e.text(),
                             kTitle, core::MsgIcon::Critical);
        } catch (const std::exception& e) {
            prompter.message(QStringLiteral("PO番号(") + poNo +
                                 QStringLiteral(")の作成中にエラーが発生しました。\r\n") +
                                 QString::fromLocal8Bit(e.what()),
                             kTitle, core::MsgIcon::Critical);
        }
        if (failed(outcome)) {
            prompter.message(QString::fromUtf8(row.failure), QStringLiteral("エラー"),
                             core::MsgIcon::Critical);
            complete = false;
            sheetsComplete = sheetsComplete && !row.sheet;
        }
    }

    // A workbook that lacks a sheet is not saved: the PO folder holds the whole workbook or none.
    if (sheetsComplete) {
        try {
            if (book->sheetCount() > 1)
                book->deleteSheet(1); // the template's placeholder
            book->save(run.poFolder + workbookName);
        } catch (const core::Error& e) {
            prompter.message(e.text(), kTitle, core::MsgIcon::Critical);
            complete = false;
        }
    }
    return complete ? core::Outcome::Done : core::Outcome::Failed;
}

} // namespace kemnoa::output
