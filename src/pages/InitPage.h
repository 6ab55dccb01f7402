#pragma once

// Page 3, INIT: present position, database expiry, simulator date and time, software
// version; ACCEPT (L5) unlocks the function keys of the whole unit.
void runInitPage();
