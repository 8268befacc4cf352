#include "output/label/pdf_assistant.h"

#include "output/label/ghostscript.h"
#include "platform/base/error.h"

#include <QDir>
#include <QFileInfo>

namespace kemnoa::label {
namespace {

bool isPlainFileName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

} // namespace

int pdfAssistant(const QStringList& arguments, QString* error) {
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return 1;
    };
    const QString command = arguments.value(0);
    if (command == QLatin1String("A") && arguments.size() == 2)
        return 0; // each file was converted by its own "B": nothing remains to be done for the PO
    if (command != QLatin1String("B") || arguments.size() != 5)
        return fail(QStringLiteral(
            "pdf_assistant: B,端末,PSファイル,出力フォルダ,PDFファイル名 か A,端末 を指定してください。"));
    const QString& postScript = arguments[2];
    const QString& folder = arguments[3];
    const QString& name = arguments[4];
    if (!QFileInfo(postScript).isFile())
        return fail(QStringLiteral("PostScriptファイルが見つかりません。(%1)").arg(postScript));
    if (!QFileInfo(folder).isDir())
        return fail(QStringLiteral("出力フォルダが見つかりません。(%1)").arg(folder));
    if (!isPlainFileName(name))
        return fail(QStringLiteral("PDFファイル名が正しくありません。(%1)").arg(name));
    try {
        postScriptToPdf(postScript, QDir(folder).filePath(name));
    } catch (const Error& e) {
        return fail(e.description());
    }
    return 0;
}

} // namespace kemnoa::label
