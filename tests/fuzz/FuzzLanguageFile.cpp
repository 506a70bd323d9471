// Language files come from translators and from other programs: any bytes
// must read without harm, every text a window receives must be valid UTF-8,
// and repairing a text that is already valid must leave it as it is.
#include "lang/CLanguageFile.h"
#include "lang/WSysLanguage.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// The file the inputs go through, one per process, removed at exit.
struct ScratchFile
{
    static std::string Path()
    {
        const char *dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/fuzz_lang_" +
               std::to_string(::getpid()) + ".lang";
    }
    const std::string path = Path();
    ~ScratchFile() { std::remove(path.c_str()); }
};

// A text a window receives is valid UTF-8, so repairing it changes nothing.
void CheckText(const std::string &text)
{
    if (CLanguageFile::ToUtf8(text) != text)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const ScratchFile scratch;
    const std::string input(reinterpret_cast<const char *>(data), size);
    {
        std::ofstream out(scratch.path, std::ios::binary | std::ios::trunc);
        out << input;
    }

    CheckText(CLanguageFile::ToUtf8(input));

    const CLanguageFile file(scratch.path);
    CheckText(file.Caption());
    (void)file.OwnName();
    (void)file.CheckSumValid();
    CheckText(file.ReadText("Interface", "strButton1Caption"));
    CheckText(file.ReadText("WarningString", "strLinkFail", "Linking fail."));

    // The main window's texts, every key with its built-in default.
    const WSysLanguage texts(scratch.path);
    for (int id = 0; id < WSysLanguage::Count; ++id)
        CheckText(texts.Text(static_cast<WSysLanguage::Id>(id)));
    return 0;
}
