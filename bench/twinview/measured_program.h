#pragma once
// Runs another program to its end and measures it from outside: the wall
// time, its peak resident memory (from wait4's resource usage, so nothing
// of the calling process is counted), its exit status and what it wrote.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

struct MeasuredProgram {
    bool started = false;
    int status = -1; // the exit status; -1 when killed by a signal
    double seconds = 0;
    long peakKb = 0;
    std::string output; // standard output and standard error together
};

// `environment` entries ("NAME=value") are added to this process's own.
inline MeasuredProgram RunMeasured(const std::vector<std::string>& command, const std::vector<std::string>& environment,
                                   const std::string& outputFile)
{
    MeasuredProgram run;
    std::vector<char*> argv;
    for (const std::string& argument : command)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> variables(environment);
    for (char** variable = environ; *variable; ++variable)
        variables.emplace_back(*variable);
    std::vector<char*> envp;
    for (std::string& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const auto t0 = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return run;
    run.started = true;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    run.peakKb = usage.ru_maxrss;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream file(outputFile);
    std::ostringstream text;
    text << file.rdbuf();
    run.output = text.str();
    return run;
}
