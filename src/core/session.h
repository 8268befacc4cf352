#pragma once
// The process-wide session values read at start-up and shared by every job.

#include <QMap>
#include <QString>
#include <QStringList>

namespace kemnoa::core {

struct DbSettings {
    QString Provider;
    QString ServerName;
    QString DbName;
    QString UserName;
    QString Password;
    qint32 ConnectTimeout = 20;
    // Not in the original settings: the ODBC driver for SQL Server providers (key ODBC_DRIVER).
    QString OdbcDriver;
};

struct FtpSettings {
    QString HostMei;
    QString UserMei;
    QString PassMei;
    QString PortNum;
    QString PaveMod;
    // Explicit FTP over TLS (key UseTls, off when empty) and a PEM file of the authorities that
    // vouch for the server's certificate (key TlsCaFile; empty: the system's authorities).
    QString UseTls;
    QString TlsCaFile;
};

// Keys of kem_setting, in the order MF_KoteiJohoSet reads them.
const QStringList& fixedInfoKeys();

struct Session {
    DbSettings WorkDb;
    DbSettings OfficeDb;
    DbSettings PoDb;
    DbSettings SkDb;
    QString LocalFolder;
    QString PoFolder;
    QString KakuninFolder;
    QString TagEnv;
    QString CarEnv;
    QString AppExe;
    QString PrinterNm;
    QString PrinterPort;
    // Not in the original settings: key PDFWRITER of fenlowen1; "0" switches the program's own PDF
    // writer (the printer "Acrobat PDFWriter") off.
    bool PdfWriterOff = false;
    FtpSettings FtpSetting;
    QMap<QString, QString> FixedInfo;
    QString ComputerName;
    QString DefaultPrinter;
    QString SelectedPrinter;
    QString LoginUser;
    QString JobType;
    QString VersionText;
    qint32 WorkOpenCount = 0;

    // FixedInfo by key; empty text for a key not loaded.
    QString fixed(const QString& key) const { return FixedInfo.value(key); }
};

// The one session of the process.
Session& session();
// Puts the session back to its start-up state (tests).
void resetSession();

} // namespace kemnoa::core
