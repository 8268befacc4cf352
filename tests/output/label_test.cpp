// The label renderer: the print-data lines, the layout of each label by its layout code, and the PDF
// and PostScript it writes, read back with poppler (pdftotext, pdffonts, pdfimages, pdfinfo) and
// distilled again with Ghostscript.

#include "label_support.h"
#include "output/label/label_renderer.h"
#include "output/label/pdf_assistant.h"
#include "output/label/print_record.h"
#include "platform/base/error.h"
#include "platform/db/catalogue.h"
#include "platform/text/cp932.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kemnoa;

namespace {

// The renderer keeps its own copy of the field names (it links no database code); they must stay the
// columns of the print rows the database holds, in the same order.
TEST(PrintLine, FieldsAreThePrintRowColumnsInTableOrder) {
    QStringList columns;
    for (const db::CatalogueColumn& c : db::requireCatalogueTable(u"rcv_csvdata").columns)
        if (c.type != db::SqlType::Identity) // the row's own number is not printed
            columns << c.columnName();
    EXPECT_EQ(label::printColumnNames().join(QLatin1Char(' ')).toStdString(),
              columns.join(QLatin1Char(' ')).toStdString());
}

TEST(PrintLine, FieldsAreReadBetweenTheirOuterQuotes) {
    // Values the CSV never escapes: quotes inside, a comma, a lone quote at either end, empty.
    const QStringList values{QStringLiteral("5\" 丈"),
                             QStringLiteral("a,b"),
                             QStringLiteral("\"start"),
                             QStringLiteral("end\""),
                             QString(),
                             QStringLiteral("\"\""),
                             QStringLiteral("綿 80％")};
    label::PrintRecord full = test::record({});
    for (int i = 0; i < values.size(); ++i)
        full[i] = values[i];
    const label::PrintRecord back = label::parsePrintLine(label::printLine(full));
    EXPECT_EQ(back, full);
}

TEST(PrintLine, LinesThatAreNotPrintRecordsAreRefused) {
    const label::PrintRecord ok = test::record({});
    const QString line = label::printLine(ok);
    for (const QString& bad : {QString(), QStringLiteral("\""), line.mid(1), line.chopped(1),
                               label::printLine(ok.mid(1)), line + QStringLiteral(",\"x\"")})
        EXPECT_THROW(label::parsePrintLine(bad), Error) << bad.left(20).toStdString();
}

class LabelRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensureGuiApplication();
        test::prepareLabelFolder(dir_.path());
    }
    void TearDown() override { core::setProgramFolder({}); }

    QString path(const QString& name) const { return dir_.filePath(name); }

    QString writeCsv(const QString& name, const std::vector<label::PrintRecord>& records) {
        QByteArray bytes;
        for (const label::PrintRecord& r : records)
            bytes += text::toCp932(label::printLine(r)) + "\r\n";
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path(name);
    }

    int render(const QString& env, const QString& csv, const QString& out,
               label::LabelFormat format = label::LabelFormat::Pdf) {
        return label::renderLabels({env, csv, dir_.path(), format, out});
    }

    static label::PrintRecord tagRecord() {
        return test::record({{QStringLiteral("PO_NO"), QStringLiteral("P00000007")},
                             {QStringLiteral("PO_GYOU"), QStringLiteral("3")},
                             {QStringLiteral("HINSYU_CD"), QStringLiteral("TAG")},
                             {QStringLiteral("LAYOUT"), QStringLiteral("KT-1001")},
                             {QStringLiteral("HINBAN"), QStringLiteral("KM-2040")},
                             {QStringLiteral("SHO_NM1"), QStringLiteral("下札")},
                             {QStringLiteral("SHO_NM2"), QStringLiteral("上質紙")},
                             {QStringLiteral("COLOR_NO"), QStringLiteral("ネイビー")},
                             {QStringLiteral("CAPTION_SIZE"), QStringLiteral("LL")},
                             {QStringLiteral("SU"), QStringLiteral("120")},
                             {QStringLiteral("GENSAN"), QStringLiteral("中国製")},
                             {QStringLiteral("QUL1"), QStringLiteral("綿")},
                             {QStringLiteral("PER1"), QStringLiteral("80％")},
                             {QStringLiteral("QUL2"), QStringLiteral("ポリエステル")},
                             {QStringLiteral("PER2"), QStringLiteral("20％")},
                             {QStringLiteral("TANM1"), QStringLiteral("5\"丈")},
                             {QStringLiteral("HYOJI1"), QStringLiteral("表示者 株式会社ケムノア")},
                             {QStringLiteral("JAN_CD"), QStringLiteral("4900000000017")}});
    }

    static label::PrintRecord careRecord(const QStringList& codes) {
        QMap<QString, QString> v{{QStringLiteral("HINSYU_CD"), QStringLiteral("CAR")},
                                 {QStringLiteral("LAYOUT"), QStringLiteral("CARE-STD")},
                                 {QStringLiteral("HINBAN"), QStringLiteral("KM-3100")},
                                 {QStringLiteral("CAPTION_SIZE"), QStringLiteral("120")},
                                 {QStringLiteral("SU"), QStringLiteral("30")},
                                 {QStringLiteral("GENSAN"), QStringLiteral("ベトナム製")},
                                 {QStringLiteral("QUL1"), QStringLiteral("毛")},
                                 {QStringLiteral("PER1"), QStringLiteral("100％")},
                                 {QStringLiteral("FUKI1"), QStringLiteral("洗濯ネットを使用してください")},
                                 {QStringLiteral("FUKI2"), QStringLiteral("裏返しにして洗ってください")}};
        for (int k = 0; k < codes.size(); ++k)
            v[QStringLiteral("EHJ%1").arg(k + 1)] = codes[k];
        return test::record(v);
    }

    QTemporaryDir dir_;
};

TEST_F(LabelRenderTest, EveryPrintedValueOfATagAndACareLabelIsInThePdfWithItsFontEmbedded) {
    if (!test::havePoppler())
        GTEST_SKIP() << "poppler-utils missing";
    const QString tags = writeCsv(QStringLiteral("tag.csv"), {tagRecord()});
    ASSERT_EQ(render(QStringLiteral("labels/TAG"), tags, path(QStringLiteral("tag.pdf"))), 1);
    const QString tagText = test::pdfText(path(QStringLiteral("tag.pdf")));
    for (const char* value :
         {"KM-2040", "下札 上質紙", "ネイビー", "LL", "120", "中国製", "綿 80％", "ポリエステル 20％",
          "5\"丈", "表示者 株式会社ケムノア", "4900000000017", "品質表示"})
        EXPECT_TRUE(tagText.contains(QString::fromUtf8(value))) << value << " in " << tagText.toStdString();

    // Six symbols, one without its picture: five pictures, all six codes, the wordings.
    const QStringList codes{QStringLiteral("1030"), QStringLiteral("2010"), QStringLiteral("3011"),
                            QStringLiteral("4010"), QStringLiteral("5010"), QStringLiteral("9999")};
    const QString cars = writeCsv(QStringLiteral("car.csv"), {careRecord(codes)});
    ASSERT_EQ(render(QStringLiteral("labels/CAR"), cars, path(QStringLiteral("car.pdf"))), 1);
    const QString carText = test::pdfText(path(QStringLiteral("car.pdf")));
    for (const QString& value :
         codes + QStringList{QStringLiteral("KM-3100"), QStringLiteral("毛 100％"),
                             QStringLiteral("洗濯ネットを使用してください"),
                             QStringLiteral("裏返しにして洗ってください"), QStringLiteral("ベトナム製")})
        EXPECT_TRUE(carText.contains(value)) << value.toStdString() << " in " << carText.toStdString();
    const QStringList images =
        test::tool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path(QStringLiteral("car.pdf"))})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
            .mid(2); // two heading lines
    EXPECT_EQ(images.size(), 5) << images.join(QLatin1Char('\n')).toStdString();

    for (const QString& pdf : {path(QStringLiteral("tag.pdf")), path(QStringLiteral("car.pdf"))}) {
        const QString fonts = test::tool(QStringLiteral("pdffonts"), {pdf});
        EXPECT_TRUE(fonts.contains(QStringLiteral("IPAGothic"))) << fonts.toStdString();
        for (const QString& line : fonts.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2))
            EXPECT_TRUE(line.contains(
                QRegularExpression(QStringLiteral("\\s+yes\\s+(yes|no)\\s+yes\\s+\\d+\\s+\\d+\\s*$"))))
                << "not embedded: " << line.toStdString();
    }
}

TEST_F(LabelRenderTest, EachLabelTakesTheLayoutOfItsCodeOrTheDefault) {
    if (!test::havePoppler())
        GTEST_SKIP() << "poppler-utils missing";
    // KT-2001 has a layout of its own (40 x 70 mm); other codes, an empty one and codes that could
    // leave the folder take default.layout (50 x 90 mm).
    const QStringList codes{
        QStringLiteral("KT-2001"),        QStringLiteral("KT-1001"),     QString(),
        QStringLiteral("../CAR/default"), QStringLiteral("/etc/passwd"), QStringLiteral("KT-2001")};
    std::vector<label::PrintRecord> records;
    for (const QString& code : codes) {
        label::PrintRecord r = tagRecord();
        r[label::printColumn(QStringLiteral("LAYOUT"))] = code;
        records.push_back(r);
    }
    const QString csv = writeCsv(QStringLiteral("mixed.csv"), records);
    ASSERT_EQ(render(QStringLiteral("labels/TAG"), csv, path(QStringLiteral("mixed.pdf"))), 6);
    const QString info = test::tool(QStringLiteral("pdfinfo"),
                                    {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                     QStringLiteral("6"), path(QStringLiteral("mixed.pdf"))});
    QStringList sizes;
    const QRegularExpression size(QStringLiteral("Page\\s+\\d+ size:\\s+([\\d.]+) x ([\\d.]+)"));
    for (auto it = size.globalMatch(info); it.hasNext();) {
        const auto m = it.next();
        sizes << QStringLiteral("%1x%2")
                     .arg(qRound(m.captured(1).toDouble() * 25.4 / 72))
                     .arg(qRound(m.captured(2).toDouble() * 25.4 / 72));
    }
    EXPECT_EQ(sizes,
              (QStringList{QStringLiteral("40x70"), QStringLiteral("50x90"), QStringLiteral("50x90"),
                           QStringLiteral("50x90"), QStringLiteral("50x90"), QStringLiteral("40x70")}));
}

TEST_F(LabelRenderTest, PostScriptDistilsBackIntoAPdfThatLooksTheSame) {
    if (!test::havePoppler() || !test::haveProgram(QStringLiteral("gs")))
        GTEST_SKIP() << "poppler-utils or ghostscript missing";
    const QString csv = writeCsv(QStringLiteral("tag.csv"), {tagRecord(), tagRecord()});
    QDir().mkpath(path(QStringLiteral("blank")));
    QFile blank(path(QStringLiteral("blank/default.layout")));
    ASSERT_TRUE(blank.open(QIODevice::WriteOnly));
    blank.write("page 50x90 portrait\n");
    blank.close();
    const QString ps = path(QStringLiteral("port.ps"));
    ASSERT_EQ(render(QStringLiteral("labels/TAG"), csv, ps, label::LabelFormat::PostScript), 2);
    QFile f(ps);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(4) == "%!PS");
    f.close();

    QDir().mkpath(path(QStringLiteral("po")));
    QString why;
    ASSERT_EQ(label::pdfAssistant({QStringLiteral("B"), QStringLiteral("WS1"), ps, path(QStringLiteral("po")),
                                   QStringLiteral("P00000007-3.pdf")},
                                  &why),
              0)
        << why.toStdString();
    const QString pdf = path(QStringLiteral("po/P00000007-3.pdf"));
    EXPECT_EQ(test::pdfPages(pdf), 2);
    // PostScript carries glyphs, not characters: the distilled page is compared as a picture.
    ASSERT_EQ(render(QStringLiteral("labels/TAG"), csv, path(QStringLiteral("direct.pdf"))), 2);
    const double difference = test::pageDifference(pdf, path(QStringLiteral("direct.pdf")), dir_.path());
    EXPECT_GE(difference, 0);
    EXPECT_LT(difference, 6) << "the distilled label looks unlike the printed one";
    // A blank page of the same size is far from it, so the measure does see a missing label.
    ASSERT_EQ(render(QStringLiteral("blank"), csv, path(QStringLiteral("blank.pdf"))), 2);
    EXPECT_GT(test::pageDifference(pdf, path(QStringLiteral("blank.pdf")), dir_.path()), 2 * difference + 3);
    EXPECT_EQ(label::pdfAssistant({QStringLiteral("A"), QStringLiteral("WS1")}), 0);
}

TEST_F(LabelRenderTest, WhatCannotBeRenderedLeavesNoOutputFile) {
    const QString good = writeCsv(QStringLiteral("good.csv"), {tagRecord()});
    QFile bad(path(QStringLiteral("bad.csv")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("\"only\",\"three\",\"columns\"\r\n");
    bad.close();
    const QString empty = writeCsv(QStringLiteral("empty.csv"), {});
    QDir().mkpath(path(QStringLiteral("nodefault")));
    struct Case {
        QString env;
        QString csv;
    };
    const Case cases[] = {{QStringLiteral("labels/NONE"), good},
                          {QString(), good},
                          {QStringLiteral("nodefault"), good},
                          {QStringLiteral("labels/TAG"), bad.fileName()},
                          {QStringLiteral("labels/TAG"), empty},
                          {QStringLiteral("labels/TAG"), path(QStringLiteral("missing.csv"))}};
    for (const Case& c : cases) {
        const QString out = path(QStringLiteral("out.pdf"));
        QFile stale(out);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.write("%PDF-old");
        stale.close();
        EXPECT_THROW(render(c.env, c.csv, out), Error) << c.env.toStdString() << ' ' << c.csv.toStdString();
        EXPECT_FALSE(QFile::exists(out)) << c.env.toStdString() << ' ' << c.csv.toStdString();
    }
}

} // namespace
