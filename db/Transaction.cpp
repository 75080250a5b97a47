#include "db/Transaction.h"

#include <exception>

#include "db/DbConnection.h"

bool RunInTransaction(DbConnection& db, const std::string& statement, bool mustChangeRow) {
  try {
    db.runStatement("begin transaction;");
  } catch (const std::exception&) {
    return false;
  }
  try {
    if (db.runStatement(statement) > 0 || !mustChangeRow) {
      db.runStatement("commit transaction;");
      return true;
    }
  } catch (const std::exception&) {
    // Rolled back below, like a statement that changed no row it had to.
  }
  try {
    db.runStatement("rollback transaction;");
  } catch (const std::exception&) {
    // The caller's own message must show whatever the rollback says.
  }
  return false;
}
