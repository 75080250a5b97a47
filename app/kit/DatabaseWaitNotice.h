// What the user sees while a statement waits for another program's lock on
// the key's database: the wait cursor and a notice over the active window,
// painted at once (no event is handled meanwhile), both gone when the
// statement ends.
#pragma once

#include "db/DbConnection.h"

namespace kit {

// The hook that shows the notice. Waits on other threads show nothing.
DbWaitHook& DatabaseWaitNotice();

// Makes DatabaseWaitNotice the database layer's wait hook.
void InstallDatabaseWaitNotice();

}  // namespace kit
