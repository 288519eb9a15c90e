#include <sys/wait.h>

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
