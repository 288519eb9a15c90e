// Inputs that once made the work grow faster than the input: a run of "<"
// without ">" merged into an e-book's text, a run of heading tags never closed imported, and a
// GIF whose code stream goes on long after its picture is whole. Each is
// measured at several sizes; the fitted complexity should read O(N) or less.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <memory>
#include <string>

#include "import/ImportJob.h"
#include "import/ImportRun.h"
#include "model/Files.h"
#include "model/NativePaths.h"
#include "model/Publication.h"
#include "model/Text.h"
#include "publish/BuildContext.h"
#include "publish/GifConverter.h"

namespace {

// A scratch file of this process, in program form.
std::string scratch(const std::string& name) {
    std::string native = "/tmp/qb-hostile-bench-" + std::to_string(getpid()) + "-" + name;
    char path[512];
    nativePathToProgram(native.c_str(), path, sizeof path);
    return path;
}

void writeFile(const std::string& path, const std::string& bytes) {
    FileHandle file = openFile(path.c_str(), OpenMode::create);
    writeBytes(file, bytes.data(), static_cast<uint32_t>(bytes.size()));
    closeFile(file);
}

void BM_PublishUnclosedLessThans(benchmark::State& state) {
    std::string document = scratch("lt.htm");
    std::string package = scratch("lt.opf");
    writeFile(document, "<html><body>" + std::string(size_t(state.range(0)), '<'));
    auto pub = std::make_unique<Publication>();
    pub->addMetadata("dc:Title", "Bench");
    std::string name = document.substr(document.find_last_of('\\') + 1);
    pub->addManifestItem("d", name.c_str(), "text/x-oeb1-document");
    pub->addSpineItem("d");
    pub->save(package.c_str());
    pub->resolveSpine();
    // The merge is where the tags are read; the records written after it
    // cost the same for any text.
    for (auto _ : state) {
        auto context = std::make_unique<BuildContext>(pub.get());
        if (!context->mergeManifest()) state.SkipWithError("merge failed");
        deleteFile(context->intermediatePath);
    }
    state.SetComplexityN(state.range(0));
    deleteFile(document.c_str());
    deleteFile(package.c_str());
}
BENCHMARK(BM_PublishUnclosedLessThans)
    ->RangeMultiplier(2)
    ->Range(20 << 10, 160 << 10)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_ImportUnclosedHeadings(benchmark::State& state) {
    std::string source = scratch("h1.htm");
    std::string html = "<html><body>";
    while (html.size() < size_t(state.range(0))) html += "<h1>";
    writeFile(source, html);
    auto job = std::make_unique<ImportJob>();
    for (auto _ : state) {
        job->reset();
        setSourcePath(*job, source.c_str());
        setDestinationFolder(*job, "Z:\\tmp\\");
        job->sourceKind = SourceKind::html;
        job->replaceExisting = true;
        parseHeadingTags(*job, "H1");
        copyText(job->bookTitle, "Bench");
        if (runImport(*job) != ImportOutcome::done) state.SkipWithError("import failed");
    }
    state.SetComplexityN(state.range(0));
    for (const char* page : {job->packagePath, job->tocPath, job->coverPath}) deleteFile(page);
    std::string content = scratch("h1_1.htm");
    deleteFile(content.c_str());
    deleteFile(source.c_str());
}
BENCHMARK(BM_ImportUnclosedHeadings)
    ->RangeMultiplier(2)
    ->Range(20 << 10, 160 << 10)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// A 1 x 1 picture followed by bytes of codes that each repeat the string
// before them, so that every table fill would draw millions of pixels.
std::string runawayGif(size_t streamBytes) {
    std::string gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02",
                    30);
    std::string codes;
    uint32_t pending = 0;
    int pendingBits = 0;
    auto put = [&](uint32_t code, int width) {
        pending |= code << pendingBits;
        for (pendingBits += width; pendingBits >= 8; pendingBits -= 8, pending >>= 8) codes += char(pending & 0xFF);
    };
    while (codes.size() < streamBytes) {
        int width = 3;
        uint32_t limit = 8;
        put(4, width);  // clear
        put(0, width);
        for (uint32_t next = 6; next < 4096 && codes.size() < streamBytes;) {
            put(next, width);
            if (++next >= limit && width < 12) {
                ++width;
                limit <<= 1;
            }
        }
    }
    put(5, 12);  // end
    if (pendingBits > 0) codes += char(pending & 0xFF);
    for (size_t at = 0; at < codes.size(); at += 255) {
        std::string block = codes.substr(at, 255);
        gif += char(block.size());
        gif += block;
    }
    return gif + std::string("\x00;", 2);
}

void BM_GifStreamPastItsPicture(benchmark::State& state) {
    std::string path = scratch("runaway.gif");
    writeFile(path, runawayGif(size_t(state.range(0))));
    for (auto _ : state) {
        GifConverter converter;
        converter.prepare(kPictureMaxWidth, kPictureMaxHeight);
        if (!converter.convert(path.c_str())) state.SkipWithError("not converted");
    }
    state.SetComplexityN(state.range(0));
    deleteFile(path.c_str());
}
BENCHMARK(BM_GifStreamPastItsPicture)
    ->RangeMultiplier(2)
    ->Range(1 << 20, 8 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace

BENCHMARK_MAIN();
