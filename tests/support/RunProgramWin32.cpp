#include <windows.h>

#include "RunProgram.h"
#include "model/NativePaths.h"
#include "tests/support/TempFolder.h"

namespace {

HANDLE inheritableFile(const std::string& path) {
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, TRUE};
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

ProgramResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& scratchFolder) {
    std::string commandLine;
    for (const std::string& argument : arguments) commandLine += " \"" + argument + "\"";
    return runProgramWithCommandLine(program, commandLine.empty() ? "" : commandLine.substr(1),
                                     scratchFolder);
}

ProgramResult runProgramWithCommandLine(const std::string& program, const std::string& commandLine,
                                        const std::string& scratchFolder) {
    // CMake names the program as the build machine sees it.
    char path[MAX_PATH];
    if (!program.empty() && program[0] == '/') {
        nativePathToProgram(program.c_str(), path, sizeof path);
    } else {
        lstrcpynA(path, program.c_str(), sizeof path);
        for (char* c = path; *c != '\0'; ++c)
            if (*c == '/') *c = '\\';
    }
    std::string command = std::string("\"") + path + "\"";
    if (!commandLine.empty()) command += " " + commandLine;
    ProgramResult result;
    HANDLE out = inheritableFile(scratchFolder + "out.txt");
    HANDLE err = inheritableFile(scratchFolder + "err.txt");
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(path, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        result.exitCode = int(code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(out);
    CloseHandle(err);
    result.out = readWholeFile(scratchFolder + "out.txt");
    result.err = readWholeFile(scratchFolder + "err.txt");
    return result;
}

std::string commandLinePath(const std::string& programPath) {
    return programPath;
}

RunningProgram startProgram(const std::string&, const std::vector<std::string>&, const std::string&) {
    return {};
}

void stopProgram(const RunningProgram&, Stop) {}

int waitForProgram(const RunningProgram&) {
    return -1;
}

bool epubcheckFindings(const std::string&, const std::string&, std::string*) {
    return false;
}
