#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

// What a shell command printed (standard output and standard error together) and its exit
// status (-1 when it did not exit normally or could not be started).
struct CommandRun {
    int status = -1;
    std::string output;
};

inline CommandRun RunCommand(const std::string& command) {
    CommandRun run;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) {
        return run;
    }
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        run.output.append(buffer.data(), n);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}
