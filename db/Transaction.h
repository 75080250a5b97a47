// One change to a database in a transaction of its own.
#pragma once

#include <string>

class DbConnection;

// Runs one changing statement between "begin transaction;" and "commit
// transaction;" and returns true when all three succeeded. A failure of the
// statement or the commit (a DbException or any other) runs "rollback
// transaction;", swallowing any error of the rollback itself, and returns
// false; so does a failed begin, which leaves any transaction already open
// alone. With mustChangeRow a statement that changed no row is a failure
// too. Never throws: the caller shows its own message.
bool RunInTransaction(DbConnection& db, const std::string& statement, bool mustChangeRow = false);
