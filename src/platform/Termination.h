#pragma once

// Requests to end the program from outside it (SIGTERM, SIGINT). They are taken by a
// watcher rather than by the default action, so that the program ends the ordinary way
// (FMS.ini saved) at any moment, even while a message box holds the main thread.

// Starts the watcher. Call first thing in main(), before any other thread exists, so that
// every thread leaves the signals to it.
void watchTerminationRequests();

// A request has arrived; the main loop ends at its next pass.
bool terminationRequested();
