#pragma once

#include <string>
#include <string_view>

// The parameter file and "System.txt" as Gathermoor reads and writes them:
// INI files in which a missing file, a missing key and an empty value all
// read as the text "Empty", and into which a key is written only while the
// file exists (nothing is ever created). Every read goes to the file anew,
// so a file another program rewrites between two reads is seen at once.
// Cost: each read parses the whole (small) file once.
class ParameterFile
{
public:
    static constexpr std::string_view Empty = "Empty";

    explicit ParameterFile(std::string path);

    const std::string &Path() const { return path; }
    bool Exists() const;

    // One key: its value, or "Empty".
    std::string Read(std::string_view section, std::string_view key) const;
    // As Read, but false when the file is there and cannot be read (a folder
    // in its place, no permission, an I/O error): a read that failed.
    bool TryRead(std::string_view section, std::string_view key, std::string &value) const;
    // Values are compared in upper case (ASCII letters only).
    static std::string Upper(std::string_view text);

    // Writes one key when the file exists; false otherwise or on failure.
    bool Write(std::string_view section, std::string_view key, std::string_view value) const;

private:
    std::string path;
};
