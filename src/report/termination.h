#pragma once

namespace radevore::report {

// Whether SIGTERM or SIGINT asked the program to end. The job loop reads it at every drawing
// operation and status update and stops a job that has not been handed over yet, as "Cancel"
// does; a job already handed over is committed by its print run as usual.
bool terminationRequested();

// Marks the termination as requested; safe to call from any thread.
void requestTermination();

// Forgets an earlier request (tests that provoke one and go on).
void clearTerminationRequest();

}  // namespace radevore::report
