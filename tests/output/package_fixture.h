#pragma once
// A PO ready for its package: orders of the PO with hang tags of two layouts, a care label and an
// assortment line of an accessory, their print and production rows made by the work database's
// procedures, a PO base folder, and readers of the results through the independent tools (xmllint for
// the XML, lhasa for the archive).

#include "core/program_folder.h"
#include "maintenance/server_procedures.h"
#include "output_fixture.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <memory>

namespace kemnoa::test {

// An element as xmllint hands it back: name, attributes, text and children in document order.
struct XmlNode {
    QString name;
    QMap<QString, QString> attributes;
    QString text;
    std::vector<XmlNode> children;

    QStringList childNames() const {
        QStringList n;
        for (const XmlNode& c : children)
            n << c.name;
        return n;
    }
    const XmlNode* child(const QString& childName) const {
        for (const XmlNode& c : children)
            if (c.name == childName)
                return &c;
        return nullptr;
    }
};

struct ToolRun {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

inline ToolRun runProgram(const QString& program, const QStringList& args, const QString& workDir = {}) {
    QProcess p;
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.start(program, args);
    p.waitForFinished(120000);
    return {p.exitCode(), p.readAllStandardOutput(), QString::fromLocal8Bit(p.readAllStandardError())};
}

// Parses the file with xmllint (which decodes the declared encoding itself) and reads its UTF-8 copy
// back into a tree. Empty name and the tool's complaint in text when xmllint refuses the file.
inline XmlNode readWithXmllint(const QString& path) {
    const ToolRun run =
        runProgram(QStringLiteral("xmllint"), {QStringLiteral("--encode"), QStringLiteral("UTF-8"), path});
    if (run.exitCode != 0 || !run.err.isEmpty())
        return {QString(), {}, run.err, {}};
    QXmlStreamReader reader(run.out);
    std::vector<XmlNode> stack{XmlNode{}};
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            XmlNode n;
            n.name = reader.name().toString();
            for (const QXmlStreamAttribute& a : reader.attributes())
                n.attributes.insert(a.name().toString(), a.value().toString());
            stack.push_back(std::move(n));
            break;
        }
        case QXmlStreamReader::Characters:
            stack.back().text += reader.text().toString();
            break;
        case QXmlStreamReader::EndElement: {
            XmlNode n = std::move(stack.back());
            stack.pop_back();
            stack.back().children.push_back(std::move(n));
            break;
        }
        default:
            break;
        }
    }
    if (reader.hasError() || stack.size() != 1 || stack[0].children.size() != 1)
        return {QString(), {}, reader.errorString(), {}};
    return stack[0].children[0];
}

class PackageTest : public OutputTest {
protected:
    void SetUp() override {
        OutputTest::SetUp();
        if (IsSkipped())
            return;
        base_ = out_.path() + QLatin1Char('/');
        // The program folder's templates/ holds the workbook templates, as in an installed program.
        core::setProgramFolder(sourceDir() + QStringLiteral("/resources"));
    }
    void TearDown() override {
        core::setProgramFolder({});
        OutputTest::TearDown();
    }

    static QString templates() { return sourceDir() + QStringLiteral("/resources/templates/"); }

    // Orders first, first+1 of the PO with two tag layouts (KT-1001, KT-1002), a care label and an
    // accessory, and their print and production rows.
    void samplePo(const QString& po, qint32 first, const QString& kbn = QStringLiteral("0")) {
        const Values inPo{{QStringLiteral("PO_NO"), po}, {QStringLiteral("PO_KBN"), kbn}};
        addOrder(first, inPo);
        addOrder(first + 1, inPo);
        const QString pos = QStringLiteral("rcv_posdata"), car = QStringLiteral("rcv_cardata");
        addLine(pos, first, 1, {{QStringLiteral("TAHIN"), QStringLiteral("A")}});
        addLine(pos, first, 2,
                {{QStringLiteral("TAHIN"), QStringLiteral("A")},
                 {QStringLiteral("TAFCD"), QStringLiteral("KT-1002")},
                 {QStringLiteral("SU"), 7}});
        addLine(car, first, 1,
                {{QStringLiteral("TAFCD"), QStringLiteral("CT-01")},
                 {QStringLiteral("EHJ"), QStringLiteral("E0001")},
                 {QStringLiteral("FUKI1"), QStringLiteral("F001")},
                 {QStringLiteral("TASIZ"), QStringLiteral("120")},
                 {QStringLiteral("SU"), 3}});
        addLine(pos, first + 1, 1,
                {{QStringLiteral("TAHIN"), QStringLiteral("A")}, {QStringLiteral("SU"), 2}});
        ASSERT_EQ(maintenance::MP_CsvDataMake(prompter_, connection_, po, kbn), core::Outcome::Done)
            << prompter_.messages().join(QLatin1Char('\n')).toStdString();
        ASSERT_EQ(maintenance::MP_SkDataMake(prompter_, connection_, po, kbn), core::Outcome::Done)
            << prompter_.messages().join(QLatin1Char('\n')).toStdString();
        // An accessory's assortment line, as the production rows give it.
        insert(connection_, QStringLiteral("rcv_skdata"),
               {{QStringLiteral("PO_NO"), po},
                {QStringLiteral("PO_KBN"), kbn},
                {QStringLiteral("PO_GYOU"), 99},
                {QStringLiteral("ORD_NO"), first},
                {QStringLiteral("GYOU"), 1},
                {QStringLiteral("HINSYU_CD"), QString()},
                {QStringLiteral("LAYOUT"), QString()},
                {QStringLiteral("HINBAN"), QString()},
                {QStringLiteral("SHO_CD"), QStringLiteral("8710001")},
                {QStringLiteral("SHO_NM1"), QStringLiteral("下札")},
                {QStringLiteral("SHO_NM2"), QStringLiteral("上質紙 220kg")},
                {QStringLiteral("SU"), 40},
                {QStringLiteral("SH_PRICE"), 2.1},
                {QStringLiteral("KEM_PRICE1"), 4.5},
                {QStringLiteral("KEM_PRICE2"), 4.2}});
    }

    static void writeBytes(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        f.write(bytes);
    }
    static QByteArray readBytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The files of a folder, by name.
    static QStringList filesIn(const QString& folder) {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir out_;
    QString base_; // the PO base folder, ending in "/"
};

} // namespace kemnoa::test
