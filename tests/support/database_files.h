#pragma once
// Creates the SQLite database files a test's settings name, with their tables, as kemnoa-cli init-db
// does: opening a connection never creates a file.

namespace kemnoa::test {

// Every SQLite file that the session's four database settings name (relative paths under the
// program folder) and that does not exist yet.
void createSessionDatabases();

} // namespace kemnoa::test
