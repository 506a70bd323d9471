#pragma once

#include <cstdlib>
#include <string>
#include <vector>

// Environment variables set or removed for one test; the old values come
// back when the object goes.
class ScopedEnvironment
{
public:
    ScopedEnvironment() = default;
    ~ScopedEnvironment()
    {
        for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
            if (it->had)
                setenv(it->name.c_str(), it->value.c_str(), 1);
            else
                unsetenv(it->name.c_str());
        }
    }
    ScopedEnvironment(const ScopedEnvironment &) = delete;
    ScopedEnvironment &operator=(const ScopedEnvironment &) = delete;

    void Set(const std::string &name, const std::string &value)
    {
        Save(name);
        setenv(name.c_str(), value.c_str(), 1);
    }
    void Unset(const std::string &name)
    {
        Save(name);
        unsetenv(name.c_str());
    }

private:
    struct Saved
    {
        std::string name;
        bool had;
        std::string value;
    };

    void Save(const std::string &name)
    {
        for (const Saved &s : saved)
            if (s.name == name)
                return;
        const char *old = std::getenv(name.c_str());
        saved.push_back({name, old != nullptr, old ? old : ""});
    }

    std::vector<Saved> saved;
};
