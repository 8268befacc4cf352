#pragma once
// The report control the printing procedures drive, step by step: reset, start a job with its title
// and printer, load a layout, fill fields by name with text or a picture file, output the page and
// clear the form, close the form, end the job. The finished document (the layout and every page's
// values) goes to where the control was made for: a PDF file, a printer, a preview, or a test.

#include "platform/report/layout.h"

#include <QString>
#include <functional>
#include <map>
#include <vector>

namespace kemnoa::report {

struct PageValues {
    std::map<QString, QString> texts;    // field name -> text (CR, LF or CR LF line ends)
    std::map<QString, QString> pictures; // field name -> picture file
};

struct Document {
    QString title;
    QString printerName;
    Layout layout;
    std::vector<PageValues> pages;

    // The text a page holds in a field (empty when not filled); for tests and checks.
    QString text(int page, const QString& field) const;
};

class ReportControl {
public:
    virtual ~ReportControl() = default;

    virtual void reset() = 0;
    // Starts a job: 0 when the printer is accepted, non-zero when there is no printer of that name.
    virtual int startJob(const QString& title, const QString& printerName) = 0;
    // Loads the layout file of the job's pages; throws Error when it cannot be read.
    virtual void loadLayout(const QString& path) = 0;
    // Fills a field of the page being made. A name the layout does not have is not drawn, so a
    // layout can leave out what it does not want to print.
    virtual void setText(const QString& field, const QString& text) = 0;
    virtual void setPicture(const QString& field, const QString& file) = 0;
    // The text put into a field of the page being made (empty when none).
    virtual QString fieldText(const QString& field) const = 0;
    virtual void outputPage() = 0;
    virtual void clearForm() = 0;
    virtual void closeForm() = 0;
    // Ends the job: the document goes out. Throws Error when it cannot be delivered.
    virtual void endJob() = 0;
    virtual void close() = 0;
};

// A control that gathers the document and hands it to `deliver` when the job ends.
class DocumentReport : public ReportControl {
public:
    using Deliver = std::function<void(const Document&)>;
    using PrinterCheck = std::function<bool(const QString& printerName)>;

    // acceptsPrinter: whether a printer name is known; every name is accepted when it is null.
    explicit DocumentReport(Deliver deliver, PrinterCheck acceptsPrinter = {});

    void reset() override;
    int startJob(const QString& title, const QString& printerName) override;
    void loadLayout(const QString& path) override;
    void setText(const QString& field, const QString& text) override;
    void setPicture(const QString& field, const QString& file) override;
    QString fieldText(const QString& field) const override;
    void outputPage() override;
    void clearForm() override;
    void closeForm() override;
    void endJob() override;
    void close() override;

    // The document of the job that ended last (also kept after delivery, for tests).
    const Document& lastDocument() const { return last_; }
    // Jobs ended and delivered.
    int jobsEnded() const { return jobsEnded_; }

private:
    Deliver deliver_;
    PrinterCheck acceptsPrinter_;
    Document doc_;
    Document last_;
    PageValues page_;
    bool started_ = false;
    bool formLoaded_ = false;
    int jobsEnded_ = 0;
};

} // namespace kemnoa::report
