#pragma once
// A label environment: a folder of layout files, "default.layout" and one "<LAYOUT>.layout" per
// print layout code that has a layout of its own. Each label is drawn on the layout of its print
// row's LAYOUT code, or on the default. The layouts are the report engine's layout files
// (docs/printing.md); the label fields are listed in docs/labels.md.

#include "platform/report/layout.h"

#include <QString>
#include <map>
#include <memory>

namespace kemnoa::label {

class LabelLayouts {
public:
    // folder: the environment's folder. Throws Error when it is not a folder.
    explicit LabelLayouts(QString folder);

    // The layout of a print layout code (read once). Throws Error when the layout to use cannot be
    // read, or when neither the code's own layout nor default.layout exists.
    const report::Layout& forCode(const QString& code);

    const QString& folder() const { return folder_; }

private:
    QString folder_;
    std::map<QString, std::unique_ptr<report::Layout>> byCode_;
    std::unique_ptr<report::Layout> default_;
};

// The folder an environment value names: an absolute path as it stands, otherwise under the
// program folder. Throws Error for an empty value.
QString environmentFolder(const QString& environment, const QString& programFolder);

} // namespace kemnoa::label
