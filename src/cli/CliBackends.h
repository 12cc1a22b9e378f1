#pragma once

class CHfcBackendModule;

namespace cli {

// Says on standard error why a backend module a command needed could not be loaded ("talvex-cli:
// audio output unavailable: ..."); nothing when it loaded or was never asked for. Each module is
// reported once per run.
void ReportUnavailableBackend(CHfcBackendModule& module);

} // namespace cli
