// Writes one sheet of ROWS x 10 formatted cells (value, font, number format and column widths, as the
// product master export does) and saves it; prints the time and the process's peak memory.
// Usage: bench_xlsx OUT.xlsx [ROWS]

#include "platform/xlsx/workbook.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <sys/resource.h>

using namespace kemnoa::xlsx;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_xlsx OUT.xlsx [ROWS]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const int rows = argc > 2 ? std::atoi(argv[2]) : 5000;
    QElapsedTimer timer;
    timer.start();
    Workbook book = Workbook::create();
    Sheet s = book.sheet(1);
    FontChange font;
    font.name = QStringLiteral("ＭＳ Ｐゴシック");
    font.size = 10;
    font.strikethrough = font.superscript = font.subscript = font.outline = font.shadow = false;
    font.underline = Underline::None;
    font.colorIndex = kColorAutomatic;
    static const double widths[10] = {14, 8, 20, 6, 10, 10, 8, 12, 6, 12};
    for (uint32_t c = 1; c <= 10; ++c)
        s.cell(1, c).setColumnWidth(widths[c - 1]);
    const QString text = QStringLiteral("@"), price = QStringLiteral("#,##0.00_ "),
                  count = QStringLiteral("#,##0_ ");
    for (int r = 1; r <= rows; ++r) {
        const QString values[10] = {QStringLiteral("8710%1").arg(r, 6, 10, QLatin1Char('0')),
                                    QStringLiteral("S-%1").arg(r % 97),
                                    QStringLiteral("織ネーム %1").arg(r),
                                    QStringLiteral("白"),
                                    QString::number(r * 1.25, 'f', 2),
                                    QString::number(r % 1000 + 0.5, 'f', 1),
                                    QString::number(r * 3),
                                    QStringLiteral("BRAND-%1").arg(r % 13),
                                    QString::number(r % 50),
                                    QStringLiteral("2024/05/%1").arg(r % 28 + 1, 2, 10, QLatin1Char('0'))};
        for (uint32_t c = 1; c <= 10; ++c) {
            Range cell = s.cell(uint32_t(r), c);
            cell.setValue(values[c - 1]);
            cell.setFont(font);
            cell.setNumberFormat(c == 5 || c == 6 ? price : c == 7 || c == 9 ? count : text);
        }
    }
    book.save(out);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("kemnoa_xlsx: %d rows x 10 cells in %.3f s, peak memory %.1f MiB\n", rows, seconds,
                double(usage.ru_maxrss) / 1024.0);
    return 0;
}
