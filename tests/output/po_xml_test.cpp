// The PO's XML file read back by xmllint: the element tree in its order, every table's rows with TYPE
// and LENGTH, Null and empty values, the embedded CSV files, the Shift-JIS bytes with character
// references for what Shift-JIS readers do not share, and names that cannot be elements.

#include "output/package_run.h"
#include "output/po_database_update.h"
#include "output/po_xml.h"
#include "output/sk_database_update.h"
#include "package_fixture.h"
#include "platform/db/catalogue.h"
#include "platform/text/cp932.h"

#include <QFileInfo>

using namespace kemnoa;

namespace {

bool haveXmllint() {
    return test::haveProgram(QStringLiteral("xmllint"));
}

class PoXmlTest : public test::PackageTest {
protected:
    const QString po = QStringLiteral("P00000001");

    void SetUp() override {
        PackageTest::SetUp();
        if (IsSkipped())
            return;
        if (!haveXmllint())
            GTEST_SKIP() << "xmllint is not installed";
        folder_ = base_ + po + QLatin1Char('/');
        ASSERT_TRUE(QDir().mkpath(folder_));
    }

    // The PO with its PO database and production-control rows written.
    void preparePo() {
        samplePo(po, 801);
        ASSERT_EQ(output::MF_PoDatabaseUpdate(prompter_, connection_, po_, po, QStringLiteral("0")),
                  core::Outcome::Done);
        ASSERT_EQ(output::MF_SkDatabaseUpdate(prompter_, connection_, sk_, po, QStringLiteral("0")),
                  core::Outcome::Done);
        prompter_.events.clear();
    }

    core::Outcome makeXml() {
        output::PackageRun run{prompter_, connection_,         po_,         sk_,
                               po,        QStringLiteral("0"), templates(), folder_};
        return output::MF_PoXmlMake(run);
    }

    QString xmlPath() const { return folder_ + po + QStringLiteral(".xml"); }

    static QString dbName(const db::Connection& c) {
        return c.dialect() == db::Dialect::SQLite ? QFileInfo(c.settings().database).completeBaseName()
                                                  : c.settings().database;
    }

    QString folder_;
};

TEST_P(PoXmlTest, EveryTableAndFileInOrderWithTypesLengthsNullsAndCsvLines) {
    preparePo();
    connection_.execute(QStringLiteral("Update rcv_skdata Set SHO_NM2 = ? Where PO_NO = ? And PO_GYOU = 1"),
                        {QStringLiteral("a\\b~c～<&>\"x\",y 𠮷"), po});
    // A run before leaves a file; this one replaces it.
    writeBytes(xmlPath(), "old");
    ASSERT_EQ(makeXml(), core::Outcome::Done) << prompter_.messages().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(prompter_.events.empty());
    EXPECT_EQ(filesIn(folder_), QStringList{po + QStringLiteral(".xml")}); // no temporary file left

    const QByteArray raw = readBytes(xmlPath());
    EXPECT_TRUE(raw.startsWith(text::toCp932(
        QStringLiteral(
            "<?xml version='1.0' encoding='SHIFT-JIS' standalone = 'yes'?>\r\n<ケムノア><PO番号>") +
        po)));
    // Japanese text is code page 932 bytes; what Shift-JIS readers decode otherwise is a reference.
    EXPECT_TRUE(raw.contains(text::toCp932(QStringLiteral("ﾀｸﾞ印字"))));
    EXPECT_TRUE(raw.contains("&#9312;"));   // ①
    EXPECT_FALSE(raw.contains("\x87\x40")); // ① as code page 932 bytes
    EXPECT_TRUE(raw.contains("a&#92;b&#126;c&#65374;&lt;&amp;&gt;\"x\",y &#134071;"));

    const test::XmlNode root = test::readWithXmllint(xmlPath());
    ASSERT_EQ(root.name, QStringLiteral("ケムノア")) << root.text.toStdString();
    EXPECT_EQ(root.childNames(), (QStringList{QStringLiteral("PO番号"), QStringLiteral("データベース"),
                                              QStringLiteral("ファイル")}));
    EXPECT_EQ(root.child(QStringLiteral("PO番号"))->text, po);

    const test::XmlNode& dbs = *root.child(QStringLiteral("データベース"));
    ASSERT_EQ(dbs.childNames(), (QStringList{dbName(po_), dbName(sk_), dbName(connection_)}));
    const struct {
        int database;
        QStringList tables;
        QString attribute;
    } layout[] = {
        {0, {QStringLiteral("TBL_PO_H"), QStringLiteral("TBL_PO_M")}, QStringLiteral("PO番号")},
        {1,
         {QStringLiteral("TBL_H"), QStringLiteral("TBL_NJ"), QStringLiteral("TBL_QUA"),
          QStringLiteral("TBL_SJ"), QStringLiteral("TBL_SKU"), QStringLiteral("TBL_TOTAL"),
          QStringLiteral("TBL_YJ")},
         QStringLiteral("PO")},
        {2, {QStringLiteral("rcv_denheaddata"), QStringLiteral("rcv_skdata")}, QStringLiteral("PO_NO")},
    };
    std::map<QString, const test::XmlNode*> tables;
    for (const auto& d : layout) {
        const test::XmlNode& database = dbs.children[size_t(d.database)];
        ASSERT_EQ(database.childNames(), d.tables);
        for (const test::XmlNode& table : database.children) {
            SCOPED_TRACE(table.name.toStdString());
            EXPECT_EQ(table.attributes, (QMap<QString, QString>{{d.attribute, po}}));
            tables[table.name] = &table;
            // Every row holds the table's columns in their order, each with TYPE and LENGTH.
            ASSERT_FALSE(table.children.empty());
            for (const test::XmlNode& row : table.children) {
                EXPECT_EQ(row.name, QStringLiteral("DATA"));
                EXPECT_EQ(row.childNames(), db::requireCatalogueTable(table.name).columnNames());
                for (const test::XmlNode& c : row.children)
                    EXPECT_EQ(c.attributes.keys(),
                              (QStringList{QStringLiteral("LENGTH"), QStringLiteral("TYPE")}));
            }
        }
    }
    auto count = [&](const char* table, const QString& where) {
        return this->count(connection_, QString::fromUtf8(table) + where, {po});
    };
    EXPECT_EQ(int(tables["rcv_denheaddata"]->children.size()),
              count("rcv_denheaddata", QStringLiteral(" Where PO_NO = ?")));
    EXPECT_EQ(int(tables["rcv_skdata"]->children.size()),
              count("rcv_skdata", QStringLiteral(" Where PO_NO = ?")));
    EXPECT_EQ(int(tables["TBL_QUA"]->children.size()),
              this->count(sk_, QStringLiteral("TBL_QUA Where PO = ?"), {po}));

    // TYPE and LENGTH from each column's declaration.
    const struct {
        const char* table;
        const char* column;
        const char* type;
        const char* length;
    } types[] = {
        {"TBL_PO_H", "PO番号", "200", "50"}, {"TBL_PO_H", "納品先CD", "3", "4"},
        {"TBL_PO_H", "ロス率", "131", "9"},  {"TBL_PO_M", "金額", "20", "8"},
        {"TBL_PO_M", "下代", "131", "18"},   {"TBL_QUA", "内容", "200", "1000"},
        {"rcv_skdata", "SU", "3", "4"},      {"rcv_denheaddata", "ORD_NO", "3", "4"},
    };
    for (const auto& t : types) {
        SCOPED_TRACE(std::string(t.table) + "." + t.column);
        const test::XmlNode* c =
            tables[QString::fromUtf8(t.table)]->children[0].child(QString::fromUtf8(t.column));
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->attributes.value(QStringLiteral("TYPE")), QString::fromUtf8(t.type));
        EXPECT_EQ(c->attributes.value(QStringLiteral("LENGTH")), QString::fromUtf8(t.length));
    }
    // The tables the update never fills: one row of empty column elements.
    for (const char* empty : {"TBL_SJ", "TBL_YJ"}) {
        const test::XmlNode& t = *tables[QString::fromLatin1(empty)];
        ASSERT_EQ(t.children.size(), 1u);
        for (const test::XmlNode& c : t.children[0].children)
            EXPECT_EQ(c.text, QString());
    }
    // Null as "NULL", empty text as no text, numbers plain, odd characters read back as they were.
    const test::XmlNode& order = tables["rcv_denheaddata"]->children[0];
    EXPECT_EQ(order.child(QStringLiteral("ORD_NO"))->text, QStringLiteral("801"));
    EXPECT_EQ(order.child(QStringLiteral("NOU_TEL"))->text, QStringLiteral("NULL"));
    EXPECT_EQ(order.child(QStringLiteral("BIKO2"))->text, QString());
    EXPECT_EQ(order.child(QStringLiteral("NOU_NM"))->text, QStringLiteral("さくら衣料"));
    QStringList contents;
    for (const test::XmlNode& row : tables["TBL_QUA"]->children)
        contents << row.child(QStringLiteral("内容"))->text;
    EXPECT_TRUE(contents.contains(QStringLiteral("品質表示①")));

    // The embedded files: tag layouts in order, care labels, the label list and the assortment list.
    const test::XmlNode& files = *root.child(QStringLiteral("ファイル"));
    ASSERT_EQ(files.childNames(), (QStringList{QStringLiteral("KT-1001.csv"), QStringLiteral("KT-1002.csv"),
                                               QStringLiteral("洗濯.csv"), QStringLiteral("ASS001.csv"),
                                               QStringLiteral("ASS002.csv")}));
    for (const test::XmlNode& file : files.children) {
        SCOPED_TRACE(file.name.toStdString());
        ASSERT_FALSE(file.children.empty());
        const int fields = file.name.startsWith(QStringLiteral("ASS")) ? 10 : 80;
        for (const test::XmlNode& line : file.children) {
            EXPECT_EQ(line.name, QStringLiteral("DATA"));
            EXPECT_TRUE(line.text.startsWith(QLatin1Char('"')) && line.text.endsWith(QLatin1Char('"')));
            if (!line.text.contains(QStringLiteral("\"x\""))) {
                EXPECT_EQ(line.text.count(QStringLiteral("\",\"")), fields - 1) << line.text.toStdString();
            }
        }
    }
    QStringList expectedList;
    for (db::Reader r = connection_.read(
             QStringLiteral(
                 "Select PO_GYOU,HINSYU_CD,SHO_CD,HINBAN,SHO_NM1,SHO_NM2,LAYOUT,SU From rcv_skdata "
                 "Where PO_NO = ? And HINSYU_CD In ('TAG','CAR') Order By PO_GYOU"),
             {po});
         !r.atEnd(); r.moveNext())
        expectedList << QStringLiteral(
                            "\"001\",\"%1\",\"%2\",\"%3\",\"%4\",\"%5\",\"%6\",\"%7\",\"%8\",\"%9\"")
                            .arg(po, r.text(0),
                                 r.text(1) == QStringLiteral("TAG") ? QStringLiteral("ﾀｸﾞ印字")
                                                                    : QStringLiteral("洗濯ﾈｰﾑ印字"),
                                 r.text(2), r.text(3), r.text(4), r.text(5), r.text(6), r.text(7));
    QStringList list;
    for (const test::XmlNode& line : files.child(QStringLiteral("ASS001.csv"))->children)
        list << line.text;
    EXPECT_EQ(list, expectedList);
    EXPECT_TRUE(list.join(QLatin1Char('\n')).contains(QStringLiteral("a\\b~c～<&>\"x\",y 𠮷")));
    const QString assortment = files.child(QStringLiteral("ASS002.csv"))->children.at(0).text;
    EXPECT_TRUE(assortment.startsWith(QStringLiteral("\"002\",\"%1\",\"").arg(po)))
        << assortment.toStdString();
    EXPECT_EQ(assortment.section(QLatin1Char(','), 3, 3), QStringLiteral("\"ｱｿｰﾄ\""));
    EXPECT_EQ(assortment.section(QLatin1Char(','), 5, 5), QStringLiteral("\"\""));
}

TEST_P(PoXmlTest, APoWithoutCareLabelsOrAssortmentHasNoSuchFiles) {
    preparePo();
    connection_.execute(QStringLiteral("Delete From rcv_csvdata Where HINSYU_CD = 'CAR'"));
    connection_.execute(QStringLiteral("Delete From rcv_skdata Where HINSYU_CD <> 'TAG'"));
    ASSERT_EQ(makeXml(), core::Outcome::Done);
    const test::XmlNode root = test::readWithXmllint(xmlPath());
    ASSERT_EQ(root.name, QStringLiteral("ケムノア")) << root.text.toStdString();
    EXPECT_EQ(root.child(QStringLiteral("ファイル"))->childNames(),
              (QStringList{QStringLiteral("KT-1001.csv"), QStringLiteral("KT-1002.csv"),
                           QStringLiteral("ASS001.csv")}));
}

// Values that would make the file ill-formed fail the step, naming what is wrong; no file is written.
TEST_P(PoXmlTest, NamesAndCharactersXmlCannotHoldFailTheStepNamingThem) {
    preparePo();
    const struct {
        const char* layout;
        const char* sho;
        const char* message;
    } cases[] = {
        {"1001", nullptr,
         "[MF_PoXmlMake] レイアウト(1001)はXMLの要素名に使えないため、XMLファイルを作成できません。"},
        {"KT 1001", nullptr,
         "[MF_PoXmlMake] レイアウト(KT 1001)はXMLの要素名に使えないため、XMLファイルを作成できません。"},
        {"", nullptr,
         "[MF_PoXmlMake] レイアウト()はXMLの要素名に使えないため、XMLファイルを作成できません。"},
        {"KT-1001",
         "A\x01"
         "B",
         "[MF_PoXmlMake] XMLに書けない文字(U+0001)があります。 (rcv_skdata.SHO_NM1)(5)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        connection_.execute(
            QStringLiteral("Update rcv_skdata Set LAYOUT = ? Where PO_NO = ? And PO_GYOU = 1"),
            {QString::fromUtf8(c.layout), po});
        connection_.execute(
            QStringLiteral("Update rcv_skdata Set SHO_NM1 = ? Where PO_NO = ? And PO_GYOU = 1"),
            {c.sho ? QString::fromUtf8(c.sho) : QStringLiteral("下札"), po});
        prompter_.events.clear();
        EXPECT_EQ(makeXml(), core::Outcome::Failed);
        EXPECT_EQ(prompter_.messages(), QStringList{QString::fromUtf8(c.message)});
        EXPECT_EQ(prompter_.events.at(0).icon, core::MsgIcon::Critical);
        EXPECT_TRUE(filesIn(folder_).isEmpty());
    }
}

// The same lines written to a file, as the PDF output hands them to the label application.
TEST_P(PoXmlTest, CsvLinesInFileModeAreCodePage932WithCrLf) {
    const QString path = folder_ + QStringLiteral("job.csv");
    writeBytes(path, "an earlier file");
    db::Reader rows = connection_.read(QStringLiteral(
        "Select 'P1' As A, 'ﾀｸﾞ印字①' As B, Null As C, 'a,\"b\"' As D Union All Select 'P2', '', '', 'x'"));
    EXPECT_EQ(output::MF_CsvLinesWrite(rows, 3, QStringLiteral("job.csv"), path, false, nullptr), 2);
    EXPECT_EQ(readBytes(path), text::toCp932(QStringLiteral(
                                   "\"P1\",\"ﾀｸﾞ印字①\",\"\",\"a,\"b\"\"\r\n\"P2\",\"\",\"\",\"x\"\r\n")));
    // Fewer columns than asked for: nothing is written.
    db::Reader few = connection_.read(QStringLiteral("Select 'P1' As A, 'B' As B"));
    EXPECT_EQ(output::MF_CsvLinesWrite(few, 3, QStringLiteral("few.csv"), folder_ + QStringLiteral("few.csv"),
                                       false, nullptr),
              0);
    EXPECT_FALSE(QFileInfo::exists(folder_ + QStringLiteral("few.csv")));
}

INSTANTIATE_TEST_SUITE_P(Dialects, PoXmlTest, ::testing::Values(db::Dialect::SQLite, db::Dialect::PostgreSQL),
                         test::dialectLabel);

// Every character a value can hold reads back unchanged through a Shift-JIS parser, in text and in
// attributes; the shared characters go as bytes.
TEST(XmlWriter, EveryCharacterReadsBackThroughAShiftJisParser) {
    if (!haveXmllint())
        GTEST_SKIP() << "xmllint is not installed";
    QString all = QStringLiteral("\t\n\r");
    for (char32_t c = 0x20; c <= 0xFFFD; ++c)
        if (c < 0xD800 || c >= 0xE000)
            all += QChar(static_cast<char16_t>(c));
    all += QString::fromUcs4(U"𠮷𩸽");
    output::XmlWriter w;
    w.start(QStringLiteral("ケムノア"));
    w.element(QStringLiteral("値"), {{QStringLiteral("属性"), all}}, all);
    w.end();
    const QByteArray bytes = w.finish();
    EXPECT_TRUE(bytes.contains(text::toCp932(QStringLiteral("ぁあぃい"))));
    EXPECT_TRUE(bytes.contains(text::toCp932(QStringLiteral("ｱｲｳ"))));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("all.xml"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    const test::XmlNode root = test::readWithXmllint(path);
    ASSERT_EQ(root.name, QStringLiteral("ケムノア")) << root.text.toStdString();
    ASSERT_EQ(root.children.size(), 1u);
    EXPECT_TRUE(root.children[0].text == all);
    EXPECT_TRUE(root.children[0].attributes.value(QStringLiteral("属性")) == all);
}

TEST(XmlWriter, ElementNamesMustBeXmlNamesOfSharedCharacters) {
    const struct {
        const char* name;
        bool writable;
    } cases[] = {
        {"KT-1001.csv", true}, {"洗濯.csv", true}, {"ASS001.csv", true}, {"ﾀｸﾞ.csv", true},
        {"1001.csv", false},   {"KT 1001", false}, {"a:b", false},       {"", false},
        {"①.csv", false},      {"～.csv", false},  {"-x", false},        {"a/b", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(output::isWritableXmlName(QString::fromUtf8(c.name)), c.writable) << c.name;
    output::XmlWriter w;
    EXPECT_THROW(w.start(QStringLiteral("1001.csv")), core::Error);
}

} // namespace
