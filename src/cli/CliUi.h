#pragma once

// The command-line tool's front end for core code: message boxes go to stderr (questions are
// asked on the terminal, or answered by --yes), progress windows become a text bar on stderr when
// it is a terminal. main() installs it before running a command.
namespace cli {

void InstallTerminalUi();

// Answers every Yes/No question with Yes without asking (the --yes option).
void SetAssumeYes(bool yes);

} // namespace cli
