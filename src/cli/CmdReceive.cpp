#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliDataFile.h"
#include "cli/CliMidiOptions.h"
#include "data/CEfException.h"
#include "data/CTarnAllData.h"
#include "midi/CTarnMidiManager.h"

namespace {

int Usage(const std::string& problem) {
    std::fprintf(stderr,
                 "talvex-cli receive: %s\n"
                 "usage: talvex-cli receive all|global|program|bank A..D -o FILE %s\n",
                 problem.c_str(), cli::kMidiOptionsSynopsis);
    return 2;
}

// Bank letter A to D as 0 to 3, or -1.
int BankOf(const std::string& text) {
    if (text.size() == 1 &&
        ((text[0] >= 'A' && text[0] <= 'D') || (text[0] >= 'a' && text[0] <= 'd'))) {
        return (text[0] & ~0x20) - 'A';
    }
    return -1;
}

int RunReceive(const std::vector<std::string>& args) {
    cli::CliMidiOptions options;
    std::string error;
    if (!options.Parse(args, error)) {
        return Usage(error);
    }
    std::string what;
    std::string output;
    int bank = -1;
    const std::vector<std::string>& rest = options.rest;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == "-o" || rest[i] == "--output") {
            if (i + 1 >= rest.size()) {
                return Usage("-o needs a file name");
            }
            output = rest[++i];
        } else if (what.empty()) {
            what = rest[i];
        } else if (what == "bank" && bank < 0) {
            bank = BankOf(rest[i]);
            if (bank < 0) {
                return Usage("the bank is A, B, C or D");
            }
        } else {
            return Usage("unexpected argument " + rest[i]);
        }
    }
    cli::FileKind kind;
    if (what == "all") {
        kind = cli::FileKind::kAll;
    } else if (what == "global") {
        kind = cli::FileKind::kGlobal;
    } else if (what == "program") {
        kind = cli::FileKind::kProgram;
    } else if (what == "bank") {
        kind = cli::FileKind::kSample;
        if (bank < 0) {
            return Usage("name the bank: A, B, C or D");
        }
    } else {
        return Usage(what.empty() ? "say what to receive" : "cannot receive " + what);
    }
    if (output.empty()) {
        return Usage("name the file to write with -o");
    }
    if (cli::KindOfPath(output) != kind || cli::IsPredecessorPath(output)) {
        return Usage(cli::KindFile(kind) + " needs the extension " +
                     (kind == cli::FileKind::kAll       ? ".t2a"
                      : kind == cli::FileKind::kGlobal  ? ".t2g"
                      : kind == cli::FileKind::kProgram ? ".t2p"
                                                        : ".t2s"));
    }

    cli::CliMidiSession session;
    if (!session.Open(options)) {
        return 1;
    }
    CTarnAllData data;
    data.Reset();
    bool received = false;
    try {
        CTarnMidiManager& manager = session.Manager();
        switch (kind) {
        case cli::FileKind::kAll:
            received = manager.ReceiveAllData(&data);
            break;
        case cli::FileKind::kGlobal:
            received = manager.ReceiveGlobalData(&data.Global());
            break;
        case cli::FileKind::kProgram:
            received = manager.ReceiveProgramMemoryData(&data.Programs());
            break;
        default:
            // A sample file holds one bank: the one received goes to its place.
            received = manager.ReceiveLoopRecorderData(bank, data.Bank(0));
            break;
        }
    } catch (const CEfException& e) {
        e.Report();
    }
    const bool closed = session.Close();
    if (!received || !closed) {
        return 1;
    }
    if (!cli::SaveDataFile(output, kind, data)) {
        return 1;
    }
    std::printf("Received %s into %s\n", cli::KindName(kind), output.c_str());
    return 0;
}

CliRegistration reg({"receive",
                     "receive all|global|program|bank A..D -o FILE [--in NAME] [--out NAME] "
                     "[--virtual-instrument[=FILE.t2a]]",
                     &RunReceive});

} // namespace
