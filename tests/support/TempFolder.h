// A fresh folder per test, named in program form, removed with its files.
#pragma once

#include <initializer_list>
#include <string>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path, ending with a backslash.
    const std::string& path() const { return folder; }
    std::string file(const std::string& name) const { return folder + name; }

    // Whole files through the product's own file layer.
    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;
    void makeFolder(const std::string& name) const;
    // Files of a folder of the source tree, by name (with a backslash for
    // a subfolder, which must exist here); the sample book, its folders made.
    void copyFrom(const std::string& sourceFolder, std::initializer_list<const char*> names) const;
    void copySample() const;

private:
    std::string folder;
};

// Whole files by full program path.
void writeWholeFile(const std::string& path, const std::string& bytes);
std::string readWholeFile(const std::string& path);
// A file of the source tree by its path there ("samples/lantern/toc.htm").
std::string sourceFile(const std::string& relative);
