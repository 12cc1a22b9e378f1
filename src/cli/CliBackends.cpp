#include "cli/CliBackends.h"

#include <cstdio>
#include <mutex>
#include <set>

#include "platform/CHfcBackendModule.h"

namespace cli {

void ReportUnavailableBackend(CHfcBackendModule& module) {
    static std::mutex mutex;
    static std::set<const CHfcBackendModule*> reported;
    if (module.GetState() != CHfcBackendModule::State::kFailed) {
        return;
    }
    std::lock_guard<std::mutex> lock(mutex);
    if (reported.insert(&module).second) {
        std::fprintf(stderr, "talvex-cli: %s unavailable: %s\n", module.What(),
                     module.Failure().c_str());
    }
}

} // namespace cli
