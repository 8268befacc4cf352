/* The same workbook as bench_xlsx, written by libxlsxwriter: the same values (texts that read as
 * numbers stored as numbers), font, number formats and column widths. Prints the time and the
 * process's peak memory. Usage: bench_libxlsxwriter OUT.xlsx [ROWS] */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <time.h>
#include <xlsxwriter.h>

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

/* As the other writers do: a text that reads as a whole number or a decimal is a number. */
static int as_number(const char* text, double* value) {
    char* end = NULL;
    if (!*text)
        return 0;
    *value = strtod(text, &end);
    return *end == '\0';
}

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: bench_libxlsxwriter OUT.xlsx [ROWS]\n");
        return 2;
    }
    const int rows = argc > 2 ? atoi(argv[2]) : 5000;
    static const double widths[10] = {14, 8, 20, 6, 10, 10, 8, 12, 6, 12};
    const double start = now();
    lxw_workbook* book = workbook_new(argv[1]);
    lxw_worksheet* sheet = workbook_add_worksheet(book, NULL);
    lxw_format* formats[3];
    const char* codes[3] = {"@", "#,##0.00_ ", "#,##0_ "};
    for (int i = 0; i < 3; ++i) {
        formats[i] = workbook_add_format(book);
        format_set_font_name(formats[i], "ＭＳ Ｐゴシック");
        format_set_font_size(formats[i], 10);
        format_set_num_format(formats[i], codes[i]);
    }
    for (int c = 0; c < 10; ++c)
        worksheet_set_column(sheet, (lxw_col_t)c, (lxw_col_t)c, widths[c], NULL);
    char values[10][64];
    for (int r = 1; r <= rows; ++r) {
        snprintf(values[0], 64, "8710%06d", r);
        snprintf(values[1], 64, "S-%d", r % 97);
        snprintf(values[2], 64, "織ネーム %d", r);
        snprintf(values[3], 64, "白");
        snprintf(values[4], 64, "%.2f", r * 1.25);
        snprintf(values[5], 64, "%.1f", r % 1000 + 0.5);
        snprintf(values[6], 64, "%d", r * 3);
        snprintf(values[7], 64, "BRAND-%d", r % 13);
        snprintf(values[8], 64, "%d", r % 50);
        snprintf(values[9], 64, "2024/05/%02d", r % 28 + 1);
        for (int c = 1; c <= 10; ++c) {
            lxw_format* f = formats[c == 5 || c == 6 ? 1 : c == 7 || c == 9 ? 2 : 0];
            double number;
            if (as_number(values[c - 1], &number))
                worksheet_write_number(sheet, (lxw_row_t)(r - 1), (lxw_col_t)(c - 1), number, f);
            else
                worksheet_write_string(sheet, (lxw_row_t)(r - 1), (lxw_col_t)(c - 1), values[c - 1], f);
        }
    }
    if (workbook_close(book) != LXW_NO_ERROR) {
        fprintf(stderr, "libxlsxwriter could not save %s\n", argv[1]);
        return 1;
    }
    const double seconds = now() - start;
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    printf("libxlsxwriter: %d rows x 10 cells in %.3f s, peak memory %.1f MiB\n", rows, seconds,
           (double)usage.ru_maxrss / 1024.0);
    return 0;
}
