#pragma once

#include "tests/analyzer/AnalyzerTestFolder.h"
#include "ui/UiText.h"

#include <fstream>
#include <string>

// A language file with the given text, active while the object lives; the
// file that was active before comes back afterwards.
class LanguageFileForTest
{
public:
    explicit LanguageFileForTest(const std::string &text)
        : before(UiText::LanguageFile())
    {
        const std::string path = folder.File("test.lang");
        std::ofstream(path, std::ios::binary) << text;
        UiText::SetLanguageFile(path);
    }
    ~LanguageFileForTest() { UiText::SetLanguageFile(before); }
    LanguageFileForTest(const LanguageFileForTest &) = delete;
    LanguageFileForTest &operator=(const LanguageFileForTest &) = delete;

private:
    std::string before;
    AnalyzerTestFolder folder;
};
