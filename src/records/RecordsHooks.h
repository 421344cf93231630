#pragma once

namespace qern {

// Plugs the records layer into the program: the database start-up check at
// the end of the status check, and the closing of the connections at exit.
void InstallRecordsHooks();

} // namespace qern
