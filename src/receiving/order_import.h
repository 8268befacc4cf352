#pragma once
// The import half of the order-file screen: loads every order file waiting in the receive folder into
// the work database (cmdImp_Click), and the delete-all command (Command1_Click).
//
// Each new order is written in one transaction: its header, its four line tables and its tag-code
// conversion, so a failure leaves no half-written order behind and the corrected file can be imported
// again. The submissions of a file are staged in one transaction after its orders. A file is deleted
// only after all of it has been committed; a file that fails is renamed to ".err".

#include "core/outcome.h"
#include "core/prompter.h"
#include "receiving/order_file.h"
#include "receiving/order_tables.h"
#include "receiving/work_database.h"

#include <QString>
#include <functional>
#include <memory>

namespace kemnoa::receiving {

struct ImportServices {
    // Opens an order file (cnMdb); throws core::Error when it cannot be opened as a database.
    std::function<std::unique_ptr<OrderFile>(const QString& path)> openFile;
    // The master check of one order (MP_ErrDataMake); reports its own failures.
    std::function<void(qint32 ordNo)> errDataMake;
    // One line of the FTP log (MP_FtpLog); may be empty.
    std::function<void(const QString& line)> log;
    // Open the confirmation screens, modeless; may be empty while they do not exist.
    std::function<void()> openKakuninEhj;
    std::function<void()> openKakuninFuki;
};

// What the last import command did.
struct ImportTally {
    bool noFiles = false; // the receive folder held no order file: nothing to do
    int files = 0;        // files taken: imported or set aside
    int setAside = 0;     // files renamed to ".err"
    int orders = 0;       // orders written
};

class OrderImport {
public:
    OrderImport(core::Prompter& prompter, WorkDatabase& work, ImportServices services);

    // The import command over the receive folder. True when it ran to its end (the screen then
    // closes); false when it stopped (no file, the operator declined to go on, a file that could not
    // be set aside).
    bool cmdImp_Click(const QString& localFolder);
    const ImportTally& tally() const { return tally_; }
    // Imports one file; true when it failed.
    bool MF_MdbImport(const QString& path);
    // The delete-all command with its password: Failed for a wrong password or a database failure.
    core::Outcome Command1_Click();

private:
    struct FileState;
    // A failure is thrown as core::Error and fails the file. MF_DenHeadImport is true for an order
    // already present (refused, nothing written).
    bool MF_DenHeadImport(FileState& file, qint32 ordNo, const std::vector<QVariant>& headerRow);
    void MP_PosImport(FileState& file, qint32 ordNo);
    void MP_CarImport(FileState& file, qint32 ordNo);
    void MP_AddFukiImport(FileState& file, qint32 ordNo);
    void MP_FuzokuImport(FileState& file, qint32 ordNo);
    void MP_EhjRrkImport(FileState& file);
    void MP_FukiRrkImport(FileState& file);
    void importLines(FileState& file, std::size_t tableIndex, qint32 ordNo);
    void stageSubmissions(FileState& file, const TableDef& def);
    void finalSteps();
    void logAndList(const QString& line);

    core::Prompter& prompter_;
    WorkDatabase& work_;
    ImportServices services_;
    ImportTally tally_;
};

} // namespace kemnoa::receiving
