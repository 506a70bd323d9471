#include "ui/UiText.h"

#include "lang/CLanguageFile.h"

namespace {

std::string &ActiveFile()
{
    static std::string path;
    return path;
}

} // namespace

QString UiText::Get(std::string_view section, std::string_view key, std::string_view def)
{
    if (ActiveFile().empty())
        return FromUtf8(def);
    return QString::fromStdString(CLanguageFile(ActiveFile()).ReadText(section, key, def));
}

void UiText::SetLanguageFile(std::string path)
{
    ActiveFile() = std::move(path);
}

const std::string &UiText::LanguageFile()
{
    return ActiveFile();
}

QString UiText::FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
