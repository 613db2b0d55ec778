#pragma once
#include <cstdlib>
#include <optional>
#include <string>

// Sets (or, given nullopt, unsets) one environment variable until the object goes.
class ScopedEnv {
public:
    ScopedEnv(std::string name, const std::optional<std::string>& value) : m_name(std::move(name))
    {
        if (const char* old = std::getenv(m_name.c_str()))
            m_previous = old;
        Apply(value);
    }
    ~ScopedEnv() { Apply(m_previous); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void Apply(const std::optional<std::string>& value) const
    {
        value ? setenv(m_name.c_str(), value->c_str(), 1) : unsetenv(m_name.c_str());
    }

    std::string m_name;
    std::optional<std::string> m_previous;
};
