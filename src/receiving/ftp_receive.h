#pragma once
// The receive command of the order-file screen ("FTP受信"): fetches every waiting order file
// ORD*.mdb from the FTP login directory into the receive folder, keeps a backup copy of each in
// the server's "BK/" as "B" + name, then deletes the order files on the server.
//
// The three passes run in this order (download all, back up all, delete all), so an order file
// is deleted on the server only after every file of the run was downloaded and backed up; a
// failure before that removes this run's files from the receive folder and leaves the server as
// it was. Progress lines go to the screen's list and to the FTP log.

#include "core/prompter.h"

#include <QtGlobal>

namespace kemnoa::receiving {

struct ReceiveResult {
    enum class Status {
        Declined,  // the operator answered No
        Refused,   // the receive folder still holds order files, or cannot be read
        Failed,    // the run stopped on a failure (see the list and the log)
        Completed, // the run reached its end and showed the completion box
    };
    Status status = Status::Declined;
    int received = 0; // files in the received list at the end of a completed run
    int failures = 0; // files of a completed run left on the server (a refused name, a failed delete)
};

// The largest order file received (and imported, see docs/jet.md); far above any real order file.
inline constexpr qint64 kMaxOrderFileBytes = qint64(128) << 20;

// A listed file larger than maxFileBytes is not downloaded: it stays on the server with a "♯" line
// naming the limit, and the other files are received.
ReceiveResult runFtpReceive(core::Prompter& prompter, qint64 maxFileBytes = kMaxOrderFileBytes);

} // namespace kemnoa::receiving
