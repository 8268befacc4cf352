#pragma once
// Printing without windows: the document is written as a PDF and handed to the print spooler
// (CUPS `lp`), which every queue of a Linux workstation takes.

#include "platform/report/report.h"

#include <QStringList>

namespace kemnoa::report {

// The spooler's queue names (`lpstat -e`), in its order; empty when there is no spooler.
QStringList spoolerQueues();
// The spooler's default queue (`lpstat -d`); empty when there is none.
QString spoolerDefaultQueue();

// Prints the document on the named queue (the default queue when empty); throws Error when
// the spooler refuses it.
void spoolDocument(const Document& document, const QString& queue);

} // namespace kemnoa::report
