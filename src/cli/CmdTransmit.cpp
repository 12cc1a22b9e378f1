#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliDataFile.h"
#include "cli/CliMidiOptions.h"
#include "data/CEfException.h"
#include "data/CTarnAllData.h"
#include "framework/CTarnMessageBox.h"
#include "midi/CTarnMidiManager.h"

namespace {

constexpr int kYes = 2;
constexpr int kOverwriteBankMessage = 29;
constexpr int kOverwriteProgramsMessage = 30;
constexpr int kOverwriteGlobalMessage = 31;
constexpr int kOverwriteAllMessage = 32;
constexpr int kSysExFilterMessage = 34;

int Usage(const std::string& problem) {
    std::fprintf(stderr,
                 "talvex-cli transmit: %s\n"
                 "usage: talvex-cli transmit FILE [--bank A..D] %s\n",
                 problem.c_str(), cli::kMidiOptionsSynopsis);
    return 2;
}

bool Ask(int message) {
    return CTarnMessageBox::Show(message, CTarnMessageBox::kQuestionStyle) == kYes;
}

int RunTransmit(const std::vector<std::string>& args) {
    cli::CliMidiOptions options;
    std::string error;
    if (!options.Parse(args, error)) {
        return Usage(error);
    }
    std::string input;
    int bank = -1;
    const std::vector<std::string>& rest = options.rest;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == "--bank" || rest[i].rfind("--bank=", 0) == 0) {
            std::string letter;
            if (rest[i] == "--bank") {
                if (i + 1 >= rest.size()) {
                    return Usage("--bank needs A, B, C or D");
                }
                letter = rest[++i];
            } else {
                letter = rest[i].substr(7);
            }
            if (letter.size() != 1 || (letter[0] & ~0x20) < 'A' || (letter[0] & ~0x20) > 'D') {
                return Usage("the bank is A, B, C or D");
            }
            bank = (letter[0] & ~0x20) - 'A';
        } else if (input.empty()) {
            input = rest[i];
        } else {
            return Usage("unexpected argument " + rest[i]);
        }
    }
    if (input.empty()) {
        return Usage("name the file to transmit");
    }
    const cli::FileKind kind = cli::KindOfPath(input);
    if (kind == cli::FileKind::kUnknown) {
        return Usage("not an editor data file: " + input);
    }
    if (kind == cli::FileKind::kSample && bank < 0) {
        return Usage("a loop-recorder sample goes to one bank: add --bank A..D");
    }
    if (bank >= 0 && kind != cli::FileKind::kSample && kind != cli::FileKind::kAll) {
        return Usage("--bank needs an all-data or loop-recorder sample file");
    }
    CTarnAllData data;
    data.Reset();
    if (!cli::LoadDataFile(input, kind, data)) {
        return 1;
    }

    cli::CliMidiSession session;
    if (!session.Open(options)) {
        return 1;
    }
    // The questions the editor asks before a transmission.
    const bool oneBank = kind == cli::FileKind::kSample || bank >= 0;
    const int question = oneBank                           ? kOverwriteBankMessage
                         : kind == cli::FileKind::kProgram ? kOverwriteProgramsMessage
                         : kind == cli::FileKind::kGlobal  ? kOverwriteGlobalMessage
                                                           : kOverwriteAllMessage;
    if (!Ask(question)) {
        return 1;
    }
    const bool sendsGlobal =
        !oneBank && (kind == cli::FileKind::kAll || kind == cli::FileKind::kGlobal);
    if (sendsGlobal &&
        data.Global().GetParameter(ParamAddress(CTarnGlobalData::kParamFilterSysEx)) == 0 &&
        !Ask(kSysExFilterMessage)) {
        return 1;
    }
    bool sent = false;
    try {
        CTarnMidiManager& manager = session.Manager();
        if (kind == cli::FileKind::kSample) {
            sent = manager.TransmitLoopRecorderData(bank, data.Bank(0));
        } else if (bank >= 0) {
            sent = manager.TransmitLoopRecorderData(bank, data.Bank(bank));
        } else if (kind == cli::FileKind::kAll) {
            sent = manager.TransmitAllData(&data);
        } else if (kind == cli::FileKind::kGlobal) {
            sent = manager.TransmitGlobalData(&data.Global());
        } else {
            sent = manager.TransmitProgramMemoryData(&data.Programs());
        }
    } catch (const CEfException& e) {
        e.Report();
    }
    const bool closed = session.Close();
    if (!sent || !closed) {
        return 1;
    }
    std::printf("Transmitted %s from %s\n", cli::KindName(kind), input.c_str());
    return 0;
}

CliRegistration reg({"transmit",
                     "transmit FILE [--bank A..D] [--yes] [--in NAME] [--out NAME] "
                     "[--virtual-instrument[=FILE.t2a]]",
                     &RunTransmit});

} // namespace
