#include "platform/report/report.h"

#include "platform/base/error.h"

namespace kemnoa::report {

QString Document::text(int page, const QString& field) const {
    if (page < 0 || page >= static_cast<int>(pages.size()))
        return {};
    const auto it = pages[page].texts.find(field);
    return it == pages[page].texts.end() ? QString() : it->second;
}

DocumentReport::DocumentReport(Deliver deliver, PrinterCheck acceptsPrinter)
    : deliver_(std::move(deliver)), acceptsPrinter_(std::move(acceptsPrinter)) {}

void DocumentReport::reset() {
    doc_ = Document();
    page_ = PageValues();
    started_ = false;
    formLoaded_ = false;
}

int DocumentReport::startJob(const QString& title, const QString& printerName) {
    if (acceptsPrinter_ && !acceptsPrinter_(printerName))
        return 1;
    doc_ = Document();
    doc_.title = title;
    doc_.printerName = printerName;
    started_ = true;
    return 0;
}

void DocumentReport::loadLayout(const QString& path) {
    if (!started_)
        throw Error(QStringLiteral("印刷ジョブが開始されていません。"), errnum::General);
    doc_.layout = report::loadLayout(path);
    formLoaded_ = true;
}

void DocumentReport::setText(const QString& field, const QString& text) {
    page_.texts[field] = text;
}

void DocumentReport::setPicture(const QString& field, const QString& file) {
    page_.pictures[field] = file;
}

QString DocumentReport::fieldText(const QString& field) const {
    const auto it = page_.texts.find(field);
    return it == page_.texts.end() ? QString() : it->second;
}

void DocumentReport::outputPage() {
    if (!formLoaded_)
        throw Error(QStringLiteral("レイアウトが読み込まれていません。"), errnum::General);
    doc_.pages.push_back(page_);
}

void DocumentReport::clearForm() {
    page_ = PageValues();
}

void DocumentReport::closeForm() {
    page_ = PageValues();
    formLoaded_ = false;
}

void DocumentReport::endJob() {
    if (!started_)
        return;
    started_ = false;
    last_ = doc_;
    // A job without a page prints nothing: no blank sheet.
    if (!doc_.pages.empty() && deliver_)
        deliver_(doc_);
    ++jobsEnded_; // only once delivered
}

void DocumentReport::close() {
    page_ = PageValues();
    formLoaded_ = false;
    started_ = false;
}

} // namespace kemnoa::report
