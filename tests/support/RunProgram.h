// Runs a built program with arguments and collects what it wrote.
#pragma once

#include <string>
#include <vector>

struct ProgramResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// program: the path CMake gave; arguments are passed as they are. The
// scratch folder (program form, ending in a backslash) takes the output.
ProgramResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& scratchFolder);
// The arguments as one command-line text, blanks and quotes as they stand:
// Windows hands the program this text; elsewhere it is split into arguments
// at blanks outside double quotes, as a shell would.
ProgramResult runProgramWithCommandLine(const std::string& program, const std::string& commandLine,
                                        const std::string& scratchFolder);
// A program-form path as this system's command line takes it.
std::string commandLinePath(const std::string& programPath);

// A program left running, for tests that stop it from outside. Only where
// the system has signals; elsewhere none starts (id stays -1).
enum class Stop { interrupt, terminate, hangUp, kill, pause, resume };
struct RunningProgram {
    int id = -1;
};
RunningProgram startProgram(const std::string& program, const std::vector<std::string>& arguments,
                            const std::string& scratchFolder);
void stopProgram(const RunningProgram& running, Stop how);
// The exit status, or 128 + the signal's number when a signal ended it.
int waitForProgram(const RunningProgram& running);

// What epubcheck finds in an EPUB (program path): "" for no error, else its
// report. False where it cannot run (not installed, or on Windows).
bool epubcheckFindings(const std::string& epubPath, const std::string& scratchFolder, std::string* findings);
