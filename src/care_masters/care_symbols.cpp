#include "care_masters/care_symbols.h"

#include "core/program_folder.h"

#include <QDateTime>
#include <QFileInfo>
#include <QRegularExpression>

namespace kemnoa::care_masters {

const MasterKind& ehjKind() {
    static const MasterKind kind{.table = QStringLiteral("kemmst_ehj"),
                                 .stagingTable = QStringLiteral("rrk_ehj"),
                                 .keyColumn = QStringLiteral("EHJ_NO"),
                                 .valueColumns = {QStringLiteral("EHJ1"), QStringLiteral("EHJ2"),
                                                  QStringLiteral("EHJ3"), QStringLiteral("EHJ4"),
                                                  QStringLiteral("EHJ5"), QStringLiteral("EHJ6")},
                                 .symbols = true,
                                 .hasHenkan = true,
                                 .numberLabel = QStringLiteral("絵表示番号"),
                                 .newPrompt = QStringLiteral("絵表示番号を入力してください。"),
                                 .cliName = QStringLiteral("ehj")};
    return kind;
}

const MasterKind& fukiKind() {
    static const MasterKind kind{.table = QStringLiteral("kemmst_fuki"),
                                 .stagingTable = QStringLiteral("rrk_fuki"),
                                 .keyColumn = QStringLiteral("FUKI_NO"),
                                 .valueColumns = {QStringLiteral("FUKI_NAIYO")},
                                 .symbols = false,
                                 .hasHenkan = false,
                                 .numberLabel = QStringLiteral("付記用語番号"),
                                 .newPrompt = QStringLiteral("付記用語番号を入力してください。"),
                                 .cliName = QStringLiteral("fuki")};
    return kind;
}

const MasterKind* kindByName(const QString& name) {
    if (name == ehjKind().cliName)
        return &ehjKind();
    if (name == fukiKind().cliName)
        return &fukiKind();
    return nullptr;
}

const QStringList& paletteCodes() {
    static const QStringList codes =
        QStringLiteral("1010 1020 1030 1031 1032 1040 1041 1042 1050 1051 1052 1053 1060 1061 1070 "
                       "1071 1072 2010 2020 3010 3011 3012 3013 3020 3021 3022 3023 3030 3031 3032 "
                       "3033 3040 4010 4020 4030 5010 5011 5020 6010 6020 6030 6040")
            .split(QLatin1Char(' '));
    return codes;
}

QString symbolPicturePath(const QString& code) {
    static const QRegularExpression safe(QStringLiteral("^[A-Za-z0-9_-]{1,32}$"));
    if (!safe.match(code).hasMatch())
        return {};
    return core::joinPath(core::joinPath(core::programFolder(), QStringLiteral("BMP")),
                          code + QStringLiteral(".bmp"));
}

QString existingSymbolPicture(const QString& code) {
    const QString path = symbolPicturePath(code);
    return !path.isEmpty() && QFileInfo(path).isFile() ? path : QString();
}

QString accessCode() {
    return QStringLiteral("fern");
}

bool askAccessCode(core::Prompter& prompter, const QString& prompt, const QString& title) {
    const std::optional<QString> answer = prompter.secretInput(prompt, title);
    if (answer.value_or(QString()) == accessCode())
        return true;
    prompter.message(QStringLiteral("パスワードガチガイマス！！"), QStringLiteral("エラー"),
                     core::MsgIcon::Critical);
    return false;
}

QString nowText() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
}

} // namespace kemnoa::care_masters
