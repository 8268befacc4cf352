#include "core/menu.h"

#include "core/error.h"
#include "core/program_folder.h"
#include "core/session.h"

#include <QFileInfo>
#include <QProcess>

namespace kemnoa::core {
namespace {

struct Entry {
    int slot;
    const char* code;
    const char* name;
};

MenuPage makePage(int number, const char* title, std::initializer_list<Entry> entries) {
    MenuPage page;
    page.number = number;
    page.title = QString::fromUtf8(title);
    for (int i = 0; i < MenuSlotCount; ++i)
        page.items[i].slot = i + 1;
    for (const Entry& e : entries) {
        MenuItem& item = page.items[e.slot - 1];
        item.code = QString::fromUtf8(e.code);
        item.name = QString::fromUtf8(e.name);
    }
    return page;
}

std::vector<MenuPage> buildMenuTable() {
    std::vector<MenuPage> pages;
    pages.push_back(makePage(1, "メインメニュー",
                             {{1, "01", "発注処理"},
                              {2, "02", "マスタ登録"},
                              {3, "03", "マスタ印刷"},
                              {4, "04", "営業メニュー"},
                              {17, "99", "終了"}}));
    pages.push_back(makePage(2, "発注処理",
                             {{1, "01", "発注書受信"},
                              {2, "02", "発注書検索"},
                              {3, "03", "PO番号採番"},
                              {4, "04", "PDF作成"},
                              {5, "05", "PO作成"},
                              {10, "10", "エラー確認"},
                              {11, "11", "送信解除"},
                              {12, "12", "PO番号解除"},
                              {17, "99", "戻る"}}));
    pages.push_back(makePage(3, "マスタ登録",
                             {{1, "01", "ネーム種"},
                              {2, "02", "資材"},
                              {3, "03", "サイズ"},
                              {4, "04", "絵表示"},
                              {5, "05", "付記用語"},
                              {6, "06", "基幹商品マスタ"},
                              {7, "07", "確認中絵表示"},
                              {8, "08", "確認中付記用語"},
                              {9, "09", ""},
                              {10, "10", "FTP送信"},
                              {17, "99", "戻る"}}));
    pages.push_back(makePage(4, "マスタ印刷",
                             {{1, "01", "絵表示マスタ"}, {2, "02", "付記用語マスタ"}, {17, "99", "戻る"}}));
    pages.push_back(makePage(5, "営業メニュー", {{1, "01", "海外管理ファイル作成"}, {17, "99", "戻る"}}));
    return pages;
}

} // namespace

const std::vector<MenuPage>& menuTable() {
    static const std::vector<MenuPage> table = buildMenuTable();
    return table;
}

const QList<int>& jobWindowCodes() {
    static const QList<int> codes = {201, 202, 203, 204, 205, 210, 211, 212, 301, 302,
                                     303, 304, 305, 306, 307, 308, 310, 401, 402};
    return codes;
}

QString formJobCode(int page, const QString& itemText) {
    const QString padded = QStringLiteral("0") + itemText;
    return QString::number(page) + padded.right(2);
}

void DetachedProgramStarter::start(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (!process.startDetached())
        throw Error(QStringLiteral("'%1'を起動できませんでした。").arg(program), errnum::FileNotFound);
}

MenuController::MenuController(Prompter& prompter, JobOpener& opener, ProgramStarter& starter)
    : prompter_(prompter), opener_(opener), starter_(starter) {}

void MenuController::open() {
    page_ = 1;
    closeRequested_ = false;
    if (PF_Set())
        prompter_.message(QStringLiteral("作業情報をセットする際にエラーが発生しました。"), QString(),
                          MsgIcon::Critical);
}

bool MenuController::PF_Set() {
    try {
        if (page_ < 1 || page_ > static_cast<int>(menuTable().size()))
            throw Error(QStringLiteral("インデックスが有効範囲にありません。"), 9);
        const MenuPage& page = menuTable()[page_ - 1];
        MenuGridRows rows{};
        title_ = page.title;
        for (int slot = 0; slot < page.itemCount && slot < MenuSlotCount; ++slot) {
            rows[slot][0] = page.items[slot].code;
            rows[slot][1] = page.items[slot].name;
        }
        rows_ = rows;
        if (onRowsChanged)
            onRowsChanged();
        return false;
    } catch (const Error& e) {
        prompter_.message(e.text(), QStringLiteral("PF_Set"), MsgIcon::Critical);
        return true;
    }
}

MenuController::EnterResult MenuController::enterCode(const QString& text) {
    if (text.isEmpty())
        return EnterResult::Ignored;
    // The code box takes digits only; anything else (pasted text, for one) is refused here too.
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return EnterResult::SelectAll;
    prompter_.processEvents();
    PP_Act(formJobCode(page_, text));
    return EnterResult::Acted;
}

void MenuController::activateRow(int row) {
    const QString code = (row >= 0 && row < MenuSlotCount) ? rows_[row][0] : QString();
    PP_Act(formJobCode(page_, code));
}

bool MenuController::PP_Act(const QString& code) {
    if (onClearCode)
        onClearCode();
    bool reported = false;
    try {
        bool ok = false;
        const int number = code.toInt(&ok);
        if (ok) {
            switch (number) {
            case 101:
            case 102:
            case 103:
            case 104:
                page_ = number - 99;
                break;
            case 199:
                closeRequested_ = true;
                return true;
            case 501:
                runPsx();
                break;
            default:
                if (jobWindowCodes().contains(number))
                    opener_.openJob(number);
                break;
            }
        }
    } catch (const Error& e) {
        prompter_.message(e.text(), QStringLiteral("PP_Act"), MsgIcon::Critical);
        reported = true;
    } catch (const std::exception& e) {
        prompter_.message(errorText(QString::fromLocal8Bit(e.what()), errnum::General),
                          QStringLiteral("PP_Act"), MsgIcon::Critical);
        reported = true;
    }
    if (code.right(2) == QLatin1String("99"))
        page_ = 1;
    if (PF_Set()) {
        prompter_.message(QStringLiteral("作業情報をセットする際にエラーが発生しました。"),
                          QStringLiteral("PP_Act"), MsgIcon::Critical);
        reported = true;
    }
    return reported;
}

void MenuController::runPsx() {
    const QString program = programFolder() + QStringLiteral("PSX.exe");
    // Without the program there is nothing to start; say so rather than failing silently.
    if (!QFileInfo(program).isFile())
        throw Error(QStringLiteral("アプリケーションフォルダに'PSX.exe'が見つかりません。"),
                    errnum::FileNotFound);
    QStringList arguments;
    const QString staff = session().fixed(QStringLiteral("発注元担当者CD"));
    if (!staff.isEmpty())
        arguments << staff;
    starter_.start(program, arguments);
}

} // namespace kemnoa::core
