#include "output/label/label_layouts.h"

#include "output/label/label_values.h"
#include "platform/base/error.h"

#include <QDir>
#include <QFileInfo>

namespace kemnoa::label {

LabelLayouts::LabelLayouts(QString folder) : folder_(std::move(folder)) {
    if (!QFileInfo(folder_).isDir())
        throw Error(QStringLiteral("ラベルの環境(レイアウトのフォルダ)が見つかりません。(%1)").arg(folder_),
                    errnum::PathNotFound);
}

const report::Layout& LabelLayouts::forCode(const QString& code) {
    const auto known = byCode_.find(code);
    if (known != byCode_.end())
        return known->second ? *known->second : forCode(QString());
    if (!code.isEmpty()) {
        // A code that could leave the folder never names a file: it takes the default layout.
        const QString own = QDir(folder_).filePath(code + QStringLiteral(".layout"));
        if (isSafeCode(code) && QFileInfo(own).isFile()) {
            auto layout = std::make_unique<report::Layout>(report::loadLayout(own));
            return *(byCode_[code] = std::move(layout));
        }
        byCode_[code] = nullptr;
    }
    if (!default_)
        default_ = std::make_unique<report::Layout>(
            report::loadLayout(QDir(folder_).filePath(QStringLiteral("default.layout"))));
    return *default_;
}

QString environmentFolder(const QString& environment, const QString& programFolder) {
    const QString env = environment.trimmed();
    if (env.isEmpty())
        throw Error(QStringLiteral("ラベルの環境が指定されていません。"), errnum::General);
    if (QDir::isAbsolutePath(env))
        return QDir::cleanPath(env);
    return QDir::cleanPath(QDir(programFolder).filePath(env));
}

} // namespace kemnoa::label
