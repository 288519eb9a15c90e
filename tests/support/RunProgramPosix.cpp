#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

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
    std::vector<std::string> arguments;
    std::istringstream words(commandLine);
    for (std::string word; words >> word;) arguments.push_back(word);
    return runProgram(program, arguments, scratchFolder);
}

std::string commandLinePath(const std::string& programPath) {
    std::string native;
    programPathToNative(programPath.c_str(), &native);
    return native;
}
