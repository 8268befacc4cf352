// The label PDFs of one PO with ROWS print rows (default 500: 400 hang tags, 100 care labels with six
// care symbols each), made as the confirmation data makes them (MF_PdfWriterMake: print rows read,
// CSV files written, labels drawn into two PDFs), with the renderer in process and as the
// kemnoa-label program. Beside them, in the same run, two floors: the print rows read and written as
// CSV files only, and Qt's PDF writer putting one short text on each of ROWS pages. Best of five.

#include "core/program_folder.h"
#include "core/session.h"
#include "output/label/print_record.h"
#include "output/pdf_output.h"
#include "platform/db/connection.h"
#include "platform/db/reader.h"
#include "platform/text/cp932.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <functional>

using namespace kemnoa;

namespace {

const QString kPo = QStringLiteral("P00009999");

void fillPrintRows(db::Connection& work, int rows) {
    const QStringList names = label::printColumnNames();
    QStringList marks;
    for (int i = 0; i < names.size(); ++i)
        marks << QStringLiteral("?");
    std::vector<QVariantList> values;
    const int tags = rows * 4 / 5;
    for (int i = 0; i < rows; ++i) {
        const bool tag = i < tags;
        QVariantList v;
        for (const QString& name : names) {
            if (name == QLatin1String("PO_NO"))
                v << kPo;
            else if (name == QLatin1String("PO_KBN"))
                v << QStringLiteral("0");
            else if (name == QLatin1String("PO_GYOU"))
                v << (tag ? 1 + i / 20 : 1000 + i / 20);
            else if (name == QLatin1String("HINSYU_CD"))
                v << (tag ? QStringLiteral("TAG") : QStringLiteral("CAR"));
            else if (name == QLatin1String("LAYOUT"))
                v << (tag ? (i % 3 == 0 ? QStringLiteral("KT-2001") : QStringLiteral("KT-1001"))
                          : QStringLiteral("CARE-STD"));
            else if (name == QLatin1String("HINBAN"))
                v << QStringLiteral("KM-%1").arg(2000 + i / 20);
            else if (name == QLatin1String("COLOR_NO"))
                v << QStringList{QStringLiteral("ネイビー"), QStringLiteral("ホワイト"),
                                 QStringLiteral("グレー")}[i % 3];
            else if (name == QLatin1String("CAPTION_SIZE"))
                v << QStringList{QStringLiteral("S"), QStringLiteral("M"), QStringLiteral("L"),
                                 QStringLiteral("LL")}[i % 4];
            else if (name == QLatin1String("SU"))
                v << 10 + i % 50;
            else if (name == QLatin1String("GENSAN"))
                v << QStringLiteral("中国製");
            else if (name == QLatin1String("QUL1"))
                v << QStringLiteral("綿");
            else if (name == QLatin1String("PER1"))
                v << QStringLiteral("80％");
            else if (name == QLatin1String("QUL2"))
                v << QStringLiteral("ポリエステル");
            else if (name == QLatin1String("PER2"))
                v << QStringLiteral("20％");
            else if (name.startsWith(QLatin1String("EHJ")) && name.size() == 4 && !tag)
                v << QStringList{QStringLiteral("1030"), QStringLiteral("2010"), QStringLiteral("3011"),
                                 QStringLiteral("4010"), QStringLiteral("5010"), QStringLiteral("6010")}
                        [name.right(1).toInt() - 1];
            else if (name == QLatin1String("FUKI1") && !tag)
                v << QStringLiteral("洗濯ネットを使用してください");
            else if (name == QLatin1String("FUKI2") && !tag)
                v << QStringLiteral("裏返しにして洗ってください");
            else if (name == QLatin1String("SORT_LV") || name == QLatin1String("ORD_NO") ||
                     name == QLatin1String("GYOU") || name.startsWith(QLatin1String("KEM_PRICE")) ||
                     name == QLatin1String("SH_PRICE") || name == QLatin1String("ORD_DATE"))
                v << i;
            else
                v << QString();
        }
        values.push_back(v);
    }
    work.executeEach(QStringLiteral("Insert Into rcv_csvdata (%1) Values (%2)")
                         .arg(names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
                     values);
}

double best(int runs, const std::function<void()>& step) {
    double fastest = 1e9;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        step();
        fastest = std::min(fastest, t.nsecsElapsed() / 1e9);
    }
    return fastest;
}

qint64 folderBytes(const QString& folder) {
    qint64 n = 0;
    for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files))
        n += f.size();
    return n;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 500;
    QTextStream out(stdout);
    QTemporaryDir dir;
    core::setProgramFolder(QStringLiteral(KEMNOA_RESOURCES));

    db::ConnectionSettings settings;
    settings.provider = QStringLiteral("SQLite");
    settings.database = dir.filePath(QStringLiteral("work.db"));
    settings.kind = db::DatabaseKind::Work;
    settings.createIfMissing = true;
    db::Connection work;
    work.open(settings);
    fillPrintRows(work, rows);

    core::Session session;
    QDir(dir.path()).mkpath(QStringLiteral("po"));
    QDir(dir.path()).mkpath(QStringLiteral("kakunin"));
    session.PoFolder = dir.filePath(QStringLiteral("po/"));
    session.KakuninFolder = dir.filePath(QStringLiteral("kakunin/"));
    session.TagEnv = QStringLiteral("labels/TAG");
    session.CarEnv = QStringLiteral("labels/CAR");
    core::SilentPrompter prompter;
    output::PdfRun run{prompter, work, session, nullptr, {}};

    bool ok = true;
    const double inProcess = best(5, [&] {
        ok = ok && output::MF_PdfWriterMake(run, kPo, QStringLiteral("0")) == core::Outcome::Done;
    });
    const qint64 bytes = folderBytes(session.PoFolder + kPo);
    session.AppExe = QStringLiteral(KEMNOA_LABEL);
    const double program = best(5, [&] {
        ok = ok && output::MF_PdfWriterMake(run, kPo, QStringLiteral("0")) == core::Outcome::Done;
    });
    if (!ok) {
        out << "labels_bench: the PDFs were not made" << Qt::endl;
        return 1;
    }

    // Floor 1: the print rows read and written as the two CSV files, nothing drawn.
    const double csvOnly = best(5, [&] {
        for (const char* kind : {"TAG", "CAR"}) {
            QByteArray bytes;
            for (db::Reader r = work.read(
                     QStringLiteral(
                         "Select * From rcv_csvdata Where PO_NO = ? And PO_KBN = '0' And HINSYU_CD = ? "
                         "Order By PO_NO, PO_GYOU, LAYOUT, HINBAN,COLOR_NO,SORT_LV "),
                     {kPo, QString::fromLatin1(kind)});
                 !r.atEnd(); r.moveNext()) {
                QStringList v;
                for (int c = 0; c < label::kPrintColumns; ++c)
                    v << r.text(c);
                bytes += text::toCp932(label::printLine(v)) + "\r\n";
            }
            QFile f(dir.filePath(QStringLiteral("floor-%1.csv").arg(QString::fromLatin1(kind))));
            if (f.open(QIODevice::WriteOnly))
                f.write(bytes);
        }
    });
    // Floor 2: Qt's PDF writer alone, one short text in the same font on each of as many pages.
    const double pdfFloor = best(5, [&] {
        QPdfWriter writer(dir.filePath(QStringLiteral("floor.pdf")));
        writer.setResolution(600);
        writer.setPageSize(QPageSize(QSizeF(50, 90), QPageSize::Millimeter));
        QPainter painter(&writer);
        painter.setFont(QFont(QStringLiteral("IPAGothic"), 10));
        for (int i = 0; i < rows; ++i) {
            if (i > 0)
                writer.newPage();
            painter.drawText(QPointF(100, 300), QStringLiteral("KM-%1 綿 80％").arg(i));
        }
    });

    out << "labels_bench: " << rows << " print rows (" << rows * 4 / 5 << " hang tags, "
        << rows - rows * 4 / 5 << " care labels), two PDFs of " << bytes / 1024
        << " KiB together, best of five" << Qt::endl;
    out << QStringLiteral("  MF_PdfWriterMake, renderer in process:  %1 s (goal: under 1 s)")
               .arg(inProcess, 0, 'f', 3)
        << Qt::endl;
    out << QStringLiteral("  MF_PdfWriterMake, kemnoa-label program: %1 s").arg(program, 0, 'f', 3)
        << Qt::endl;
    out << QStringLiteral("  floor, print rows to CSV only:          %1 s").arg(csvOnly, 0, 'f', 3)
        << Qt::endl;
    out << QStringLiteral("  floor, Qt PDF writer, one text a page:  %1 s").arg(pdfFloor, 0, 'f', 3)
        << Qt::endl;
    out << QStringLiteral("  in process / (CSV floor + PDF floor):   %1")
               .arg(inProcess / (csvOnly + pdfFloor), 0, 'f', 2)
        << Qt::endl;
    return inProcess < 1.0 ? 0 : 3;
}
