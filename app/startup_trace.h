// A timing log of the start, for finding where the time goes before the frame is painted. Silent
// unless the environment variable QUILLON_TRACE_STARTUP names a file: each mark then appends one line
// "<milliseconds since the process was created> <what>" to it.
#pragma once

namespace ql {

void TraceStartup(const char* what);

}  // namespace ql
