// Stands in for a program the editor starts: writes the command line it was
// given to the file named by QB_RECORDER_OUT, so a test can read it.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main() {
    char out[MAX_PATH] = {};
    if (GetEnvironmentVariableA("QB_RECORDER_OUT", out, sizeof out) == 0) return 1;
    const char* line = GetCommandLineA();
    // Written under a temporary name first: the test never sees half a line.
    char partial[MAX_PATH + 8];
    std::snprintf(partial, sizeof partial, "%s.part", out);
    FILE* file = std::fopen(partial, "wb");
    if (file == nullptr) return 1;
    std::fwrite(line, 1, std::strlen(line), file);
    std::fclose(file);
    return MoveFileExA(partial, out, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
