// Tag scanning speed over a generated multi-megabyte HTML document.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <random>
#include <string>

#include "model/Files.h"
#include "model/NativePaths.h"
#include "model/TagScanner.h"

namespace {

constexpr size_t kDocumentBytes = 8 * 1024 * 1024;

std::string generatedHtml() {
    static const char* const words[] = {"the",    "quiet",   "harbour", "lantern", "keeper",
                                        "walked", "along",   "stone",   "pier",    "while",
                                        "gulls",  "circled", "over",    "grey",    "water"};
    std::mt19937 random(7);
    std::string html = "<html><head><title>Bench</title></head><body>\r\n";
    int anchor = 0;
    while (html.size() < kDocumentBytes) {
        html += "<h2><a name=\"s" + std::to_string(anchor++) + "\">Section</a></h2>\r\n<p align=\"left\">";
        for (int i = 0; i < 60; ++i) {
            html += words[random() % std::size(words)];
            html += ' ';
            if (random() % 20 == 0) html += "<b>bold</b> ";
            if (random() % 40 == 0)
                html += "<a href=\"ch2.htm#s" + std::to_string(random() % 100) + "\">see</a> ";
        }
        html += "</p>\r\n<!-- a comment -->\r\n<img src=\"images/pic.gif\" width=100 height=80>\r\n";
    }
    html += "</body></html>\r\n";
    return html;
}

std::string writeDocument() {
    std::string native = "/tmp/qb-scanner-bench-" + std::to_string(getpid()) + ".htm";
    char path[512];
    nativePathToProgram(native.c_str(), path, sizeof path);
    std::string html = generatedHtml();
    FileHandle file = openFile(path, OpenMode::create);
    writeBytes(file, html.data(), static_cast<uint32_t>(html.size()));
    closeFile(file);
    return path;
}

void BM_NextTagOverHtml(benchmark::State& state) {
    std::string path = writeDocument();
    uint32_t size = fileSize(path.c_str());
    int64_t tags = 0;
    for (auto _ : state) {
        FileHandle file = openFile(path.c_str(), OpenMode::read);
        TagScanner scanner;
        while (scanner.nextTag(file) != -1) ++tags;
        closeFile(file);
    }
    benchmark::DoNotOptimize(tags);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
    state.counters["tags"] = static_cast<double>(tags) / static_cast<double>(state.iterations());
    deleteFile(path.c_str());
}
BENCHMARK(BM_NextTagOverHtml)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
