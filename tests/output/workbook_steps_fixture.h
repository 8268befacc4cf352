#pragma once
// The workbook steps of a PO against fresh databases: a program folder holding the templates (in its
// "templates" folder, as the installation lays them out), the order workbook opened from MST_DEF,
// rows written straight into the PO, production-control and work tables, and independent readers of
// the saved files (openpyxl, zbarimg).

#include "core/program_folder.h"
#include "output/package_run.h"
#include "output_fixture.h"
#include "platform/xlsx/workbook.h"
#include "support/test_env.h"
#include "xlsx_test_support.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <memory>

namespace kemnoa::test {

class WorkbookStepsTest : public OutputTest {
protected:
    const QString po = QStringLiteral("P00000001");

    void SetUp() override {
        OutputTest::SetUp();
        if (IsSkipped())
            return;
        program_ = dir_.filePath(QStringLiteral("program"));
        QDir().mkpath(program_ + QStringLiteral("/templates"));
        const QDir templates(sourceDir() + QStringLiteral("/resources/templates"));
        for (const QString& name : templates.entryList({QStringLiteral("*.xlsx")}, QDir::Files))
            ASSERT_TRUE(
                QFile::copy(templates.filePath(name), program_ + QStringLiteral("/templates/") + name));
        core::setProgramFolder(program_);
        out_ = dir_.filePath(QStringLiteral("out"));
        QDir().mkpath(out_);
    }
    void TearDown() override {
        core::setProgramFolder(QString());
        OutputTest::TearDown();
    }

    // A package run for the PO with the order workbook freshly opened from MST_DEF.
    output::PackageRun& run(const QString& kbn = QStringLiteral("0")) {
        book_ = std::make_unique<xlsx::Workbook>(
            xlsx::Workbook::open(program_ + QStringLiteral("/templates/MST_DEF.xlsx")));
        run_ = std::make_unique<output::PackageRun>(output::PackageRun{
            prompter_, connection_, po_, sk_, po, kbn, program_, out_ + QLatin1Char('/'), book_.get()});
        return *run_;
    }
    // Saves the order workbook and reads it back with openpyxl.
    QJsonObject saved(const QString& name = QStringLiteral("book.xlsx")) {
        const QString path = out_ + QLatin1Char('/') + name;
        book_->save(path);
        return xlsx::test::openpyxlDump(path);
    }
    QString savedPath(const QString& name = QStringLiteral("book.xlsx")) {
        const QString path = out_ + QLatin1Char('/') + name;
        book_->save(path);
        return path;
    }
    static QStringList sheetNames(const QJsonObject& dump) {
        QStringList names;
        for (const auto& s : dump.value(QStringLiteral("sheets")).toArray())
            names << s.toObject().value(QStringLiteral("name")).toString();
        return names;
    }
    // The value of a cell as openpyxl reads it, as text ("" when empty).
    static QString cellText(const QJsonObject& sheet, const QString& ref) {
        const QJsonValue v = xlsx::test::dumpCell(sheet, ref).value(QStringLiteral("value"));
        if (v.isDouble())
            return QString::number(v.toDouble(), 'g', 15);
        return v.toString();
    }
    static QString cellType(const QJsonObject& sheet, const QString& ref) {
        return xlsx::test::dumpCell(sheet, ref).value(QStringLiteral("type")).toString();
    }
    static bool merged(const QJsonObject& sheet, const QString& area) {
        return sheet.value(QStringLiteral("merges")).toArray().contains(area);
    }
    // The pictures of each sheet with the codes zbarimg reads from them.
    static QJsonObject images(const QString& path) {
        QByteArray out, err;
        const int rc = xlsx::test::run(systemPython(),
                                       {sourceDir() + QStringLiteral("/tests/output/sheet_images.py"), path},
                                       &out, &err);
        EXPECT_EQ(rc, 0) << err.toStdString();
        return QJsonDocument::fromJson(out).object();
    }

    // A PO header row with the given values on top of a few defaults.
    void poHeader(const Values& changes = {}) {
        Values v{{QStringLiteral("PO番号"), po},
                 {QStringLiteral("PO発行日"), QStringLiteral("2026/12/10")},
                 {QStringLiteral("希望納期"), QStringLiteral("2026/12/20")},
                 {QStringLiteral("納品先名"), QStringLiteral("さくら衣料")}};
        for (auto it = changes.begin(); it != changes.end(); ++it)
            v[it.key()] = it.value();
        insert(po_, QStringLiteral("TBL_PO_H"), v);
    }
    void poLine(int gyou, const Values& changes = {}) {
        Values v{{QStringLiteral("PO番号"), po},
                 {QStringLiteral("PO行"), gyou},
                 {QStringLiteral("商品CD"), QStringLiteral("0871%1").arg(gyou, 4, 10, QLatin1Char('0'))},
                 {QStringLiteral("品名1"), QStringLiteral("下札%1").arg(gyou)},
                 {QStringLiteral("品名2"), QStringLiteral("二行目%1").arg(gyou)},
                 {QStringLiteral("客先商品CD"), QStringLiteral("C%1").arg(gyou)},
                 {QStringLiteral("数量"), 3},
                 {QStringLiteral("下代"), 12.345},
                 {QStringLiteral("上代"), 100}};
        for (auto it = changes.begin(); it != changes.end(); ++it)
            v[it.key()] = it.value();
        insert(po_, QStringLiteral("TBL_PO_M"), v);
    }
    // A production row (rcv_skdata) of the PO.
    void skLine(int gyou, const Values& changes = {}) {
        Values v{{QStringLiteral("PO_NO"), po},
                 {QStringLiteral("PO_KBN"), QStringLiteral("0")},
                 {QStringLiteral("PO_GYOU"), gyou},
                 {QStringLiteral("ORD_NO"), 700 + gyou},
                 {QStringLiteral("IRAI_NO"), QStringLiteral("R%1").arg(gyou)},
                 {QStringLiteral("NOU_CD"), QStringLiteral("C0101-01")},
                 {QStringLiteral("HINBAN"), QStringLiteral("A-%1").arg(gyou)},
                 {QStringLiteral("SHO_CD"), QStringLiteral("87100%1").arg(gyou, 2, 10, QLatin1Char('0'))},
                 {QStringLiteral("SHO_NM1"), QStringLiteral("ネーム")},
                 {QStringLiteral("SHO_NM2"), QStringLiteral("%1号").arg(gyou)},
                 {QStringLiteral("SU"), 1000}};
        for (auto it = changes.begin(); it != changes.end(); ++it)
            v[it.key()] = it.value();
        insert(connection_, QStringLiteral("rcv_skdata"), v);
    }
    // A production-control job (TBL_H) with its parties and total.
    void job(int no, const QString& kind, const Values& changes = {}, const QVariant& total = 22) {
        Values v{{QStringLiteral("PO"), po},
                 {QStringLiteral("SKNO"), QString()},
                 {QStringLiteral("NO"), no},
                 {QStringLiteral("発注番号"), QStringLiteral("R%1").arg(no)},
                 {QStringLiteral("発注日"), QStringLiteral("2026/12/01")},
                 {QStringLiteral("希望納期"), QStringLiteral("2026/12/20")},
                 {QStringLiteral("品番"), QStringLiteral("A-%1").arg(no)},
                 {QStringLiteral("生産場所"), QStringLiteral("上海")},
                 {QStringLiteral("工程"), QString()},
                 {QStringLiteral("ブランド"), QStringLiteral("8710001")},
                 {QStringLiteral("品種"), kind},
                 {QStringLiteral("品名"), QStringLiteral("KT-100%1").arg(no)}};
        for (auto it = changes.begin(); it != changes.end(); ++it)
            v[it.key()] = it.value();
        insert(sk_, QStringLiteral("TBL_H"), v);
        insert(sk_, QStringLiteral("TBL_NJ"),
               {{QStringLiteral("PO"), po},
                {QStringLiteral("NO"), no},
                {QStringLiteral("発注元CD"), QStringLiteral("H0001")},
                {QStringLiteral("発注元名"), QStringLiteral("ケムノア")},
                {QStringLiteral("請求先CD"), QStringLiteral("S0001")},
                {QStringLiteral("請求先名"), QStringLiteral("本社")},
                {QStringLiteral("納品先CD"), QStringLiteral("C0101-01")},
                {QStringLiteral("納品先名"), QStringLiteral("さくら衣料")}});
        if (total.isValid())
            insert(sk_, QStringLiteral("TBL_TOTAL"),
                   {{QStringLiteral("PO"), po}, {QStringLiteral("NO"), no}, {QStringLiteral("数量"), total}});
    }
    void composition(int no, int line, const QString& text) {
        insert(sk_, QStringLiteral("TBL_QUA"),
               {{QStringLiteral("PO"), po},
                {QStringLiteral("NO"), no},
                {QStringLiteral("LINE"), line},
                {QStringLiteral("内容"), text}});
    }
    void gridLine(int no, int line, const QStringList& fields) {
        Values v{{QStringLiteral("PO"), po},
                 {QStringLiteral("NO"), no},
                 {QStringLiteral("LINE"), line},
                 {QStringLiteral("COLS"), int(fields.size())}};
        for (int c = 0; c < fields.size(); ++c)
            v[QStringLiteral("F%1").arg(c + 1)] = fields[c];
        insert(sk_, QStringLiteral("TBL_SKU"), v);
    }

    QString program_, out_;
    std::unique_ptr<xlsx::Workbook> book_;
    std::unique_ptr<output::PackageRun> run_;
};

} // namespace kemnoa::test
