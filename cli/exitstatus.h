#pragma once

// The exit statuses of ryd-cli, one per kind of failure. When several ports
// are served, the process ends with the worst of theirs: the highest number.
enum ExitStatus {
    ExitDone = 0,
    ExitRefused = 1,          // a usage error, or a command refused
    ExitPortFailed = 2,       // the port cannot be opened
    ExitNoAnswer = 3,         // the device did not answer, or the line was lost
    ExitNotHeld = 4,          // the device does not hold what was written
    ExitInvalidSettings = 5,  // a settings file or --set value is invalid
    ExitFileFailed = 6,       // a file could not be written: --output, --csv, --backup or --record
    ExitStopped = 130,        // SIGINT or SIGTERM
};
