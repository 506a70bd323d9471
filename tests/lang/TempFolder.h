#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

// A fresh folder under the system's temporary folder, removed with its
// content when the object goes.
class TempFolder
{
public:
    TempFolder()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tracemoor-lang-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            path = pattern;
    }
    ~TempFolder()
    {
        std::error_code ec;
        if (!path.empty())
            std::filesystem::remove_all(path, ec);
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    const std::string &Path() const { return path; }

    // Writes `content` to <folder>/<name> (creating sub-folders) and returns the path.
    std::string Write(std::string_view name, std::string_view content) const
    {
        const std::filesystem::path file = std::filesystem::path(path) / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        return file.string();
    }

private:
    std::string path;
};
