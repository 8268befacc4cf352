#pragma once
// A fixed list of installed printers for tests.

#include "core/printer.h"

namespace kemnoa::test {

class FakePrinters : public core::PrinterQuery {
public:
    FakePrinters(QStringList names, QString defaultName)
        : names_(std::move(names)), default_(std::move(defaultName)) {}
    QStringList printerNames() const override { return names_; }
    QString defaultPrinterName() const override { return default_; }

private:
    QStringList names_;
    QString default_;
};

} // namespace kemnoa::test
