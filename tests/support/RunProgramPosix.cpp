#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "RunProgram.h"
#include "model/NativePaths.h"
#include "tests/support/TempFolder.h"

namespace {

std::string quoted(const std::string& text) {
    std::string result = "'";
    for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

}  // namespace

ProgramResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& scratchFolder) {
    std::string command = quoted(program);
    for (const std::string& argument : arguments) command += " " + quoted(argument);
    command += " >" + quoted(commandLinePath(scratchFolder + "out.txt"));
    command += " 2>" + quoted(commandLinePath(scratchFolder + "err.txt"));
    int status = std::system(command.c_str());
    ProgramResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readWholeFile(scratchFolder + "out.txt");
    result.err = readWholeFile(scratchFolder + "err.txt");
    return result;
}

ProgramResult runProgramWithCommandLine(const std::string& program, const std::string& commandLine,
                                        const std::string& scratchFolder) {
    // Split as a shell would: at blanks outside double quotes.
    std::vector<std::string> arguments(1);
    bool inQuotes = false;
    for (char c : commandLine) {
        if (c == '"')
            inQuotes = !inQuotes;
        else if (c != ' ' || inQuotes)
            arguments.back() += c;
        else if (!arguments.back().empty())
            arguments.emplace_back();
    }
    if (arguments.back().empty()) arguments.pop_back();
    return runProgram(program, arguments, scratchFolder);
}

std::string commandLinePath(const std::string& programPath) {
    std::string native;
    programPathToNative(programPath.c_str(), &native);
    return native;
}

RunningProgram startProgram(const std::string& program, const std::vector<std::string>& arguments,
                            const std::string& scratchFolder) {
    std::vector<char*> argv = {const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::string out = commandLinePath(scratchFolder + "out.txt");
    std::string err = commandLinePath(scratchFolder + "err.txt");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t id = -1;
    if (posix_spawn(&id, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) id = -1;
    posix_spawn_file_actions_destroy(&actions);
    return RunningProgram{int(id)};
}

void stopProgram(const RunningProgram& running, Stop how) {
    const int signals[] = {SIGINT, SIGTERM, SIGHUP, SIGKILL, SIGSTOP, SIGCONT};
    if (running.id > 0) ::kill(running.id, signals[int(how)]);
}

int waitForProgram(const RunningProgram& running) {
    int status = 0;
    if (running.id <= 0 || ::waitpid(running.id, &status, 0) != running.id) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool epubcheckFindings(const std::string& epubPath, const std::string& scratchFolder, std::string* findings) {
    constexpr const char* kJar = "/usr/share/java/epubcheck.jar";
    if (access(kJar, R_OK) != 0 || access("/usr/bin/java", X_OK) != 0) return false;
    ProgramResult result = runProgram("/usr/bin/java", {"-XX:TieredStopAtLevel=1", "-XX:+UseSerialGC", "-jar", kJar, commandLinePath(epubPath)}, scratchFolder);
    bool clean = result.exitCode == 0 && result.err.find("ERROR") == std::string::npos;
    *findings = clean ? "" : result.out + result.err;
    return true;
}
