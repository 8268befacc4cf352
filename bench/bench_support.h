#pragma once
// Shared by the benchmarks: SQLite database files in a scratch folder, and the best of several runs.

#include "platform/db/settings.h"

#include <QElapsedTimer>
#include <algorithm>
#include <functional>

namespace kemnoa::bench {

// The database of that kind as <dir>/<kind>.db, created when missing.
inline db::ConnectionSettings sqliteSettings(const QString& dir, db::DatabaseKind kind) {
    db::ConnectionSettings s;
    s.provider = QStringLiteral("SQLite");
    s.database = dir + QLatin1Char('/') + db::kindName(kind) + QStringLiteral(".db");
    s.kind = kind;
    s.createIfMissing = true;
    return s;
}

// The fastest of `runs` runs, in milliseconds.
inline double bestOfMs(int runs, const std::function<void()>& run) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        best = std::min(best, double(t.nsecsElapsed()) / 1e6);
    }
    return best;
}

} // namespace kemnoa::bench
