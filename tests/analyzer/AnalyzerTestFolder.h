#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

// A fresh folder under the temporary folder, removed with its contents.
class AnalyzerTestFolder
{
public:
    AnalyzerTestFolder()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tracemoor-analyzer-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            path = pattern;
    }
    ~AnalyzerTestFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    AnalyzerTestFolder(const AnalyzerTestFolder &) = delete;
    AnalyzerTestFolder &operator=(const AnalyzerTestFolder &) = delete;

    std::string File(const std::string &name) const { return (path / name).string(); }
    const std::filesystem::path &Path() const { return path; }

private:
    std::filesystem::path path;
};
