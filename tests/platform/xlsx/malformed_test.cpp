// Damaged workbooks give a clear error and never crash the reader.

#include "platform/xlsx/workbook.h"
#include "platform/xlsx/workbook_error.h"
#include "support/test_env.h"
#include "xlsx_test_support.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace kemnoa::xlsx;
using namespace kemnoa::xlsx::test;

TEST(XlsxMalformed, DamagedWorkbooksGiveAClearError) {
    QTemporaryDir dir;
    const QString valid = dir.filePath(QStringLiteral("valid.xlsx"));
    Workbook book = Workbook::create();
    book.sheet(1).range(QStringLiteral("A1")).setValue(QStringLiteral("text"));
    book.sheet(1).range(QStringLiteral("B1")).setNumber(1);
    book.save(valid);
    QByteArray err;
    ASSERT_EQ(run(kemnoa::test::systemPython(),
                  {testScript(QStringLiteral("make_malformed.py")), valid, dir.path()}, nullptr, &err),
              0)
        << err.toStdString();
    ASSERT_LT(QFileInfo(dir.filePath(QStringLiteral("bomb.xlsx"))).size(), 1 << 20);

    struct Case {
        const char* file;
        const char* words; // part of the message
    } cases[] = {
        {"not_a_zip.xlsx", "形式"},
        {"truncated.xlsx", "形式"},
        {"missing_workbook.xlsx", "xl/workbook.xml"},
        {"missing_content_types.xlsx", "[Content_Types].xml"},
        {"missing_sheet.xlsx", "xl/worksheets/sheet1.xml"},
        {"broken_sheet_xml.xlsx", "xl/worksheets/sheet1.xml"},
        {"broken_styles_xml.xlsx", "xl/styles.xml"},
        {"bad_string_index.xlsx", "共有文字列"},
        {"bad_cell_ref.xlsx", "A0"},
        {"no_sheets.xlsx", "シート"},
        {"many_entries.xlsx", "部品が多すぎます"},
        {"bomb.xlsx", "上限"},
    };
    for (const Case& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.file));
        try {
            Workbook::open(path);
            ADD_FAILURE() << c.file << " was accepted";
        } catch (const WorkbookError& e) {
            EXPECT_TRUE(e.description().contains(QString::fromUtf8(c.words))) << c.file << ": " << e.what();
            EXPECT_TRUE(e.description().contains(path)) << c.file << ": " << e.what();
        }
    }
    EXPECT_THROW(Workbook::open(dir.filePath(QStringLiteral("absent.xlsx"))), WorkbookError);
}
