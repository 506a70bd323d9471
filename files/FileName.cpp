#include "files/FileName.h"

#include <algorithm>

std::string FileName::WithExtension(const std::string &name, std::string_view extension)
{
    if (name.size() >= extension.size() &&
        std::string_view(name).substr(name.size() - extension.size()) == extension)
        return name;
    return name + std::string(extension);
}

std::string_view FileName::WithoutFolder(std::string_view path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string FileName::WithDefaultExtension(const std::string &path, std::string_view extension)
{
    const std::string_view name = WithoutFolder(path);
    if (name.empty() || name.find('.', 1) != std::string_view::npos)
        return path;
    return path + std::string(extension);
}

bool FileName::EndsWithExtension(std::string_view path, std::string_view extension)
{
    if (path.size() < extension.size())
        return false;
    const std::string_view tail = path.substr(path.size() - extension.size());
    return std::equal(tail.begin(), tail.end(), extension.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
    });
}
