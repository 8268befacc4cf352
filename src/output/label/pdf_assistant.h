#pragma once
// The distiller's helper of the Distiller method, in the program: command "B" converts one
// PostScript file into a PDF in a PO's output folder, command "A" ends the PO's conversions.
//   B, workstation, PostScript file, output folder, PDF file name
//   A, workstation

#include <QString>
#include <QStringList>

namespace kemnoa::label {

// Runs one command; 0 when it succeeded, otherwise 1 with *error saying why.
int pdfAssistant(const QStringList& arguments, QString* error = nullptr);

} // namespace kemnoa::label
