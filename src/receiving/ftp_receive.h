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

ReceiveResult runFtpReceive(core::Prompter& prompter);

} // namespace kemnoa::receiving
