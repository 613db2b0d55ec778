#pragma once

// Turns off the echo of a terminal while it lives, so a typed password stays
// unseen; does nothing when the descriptor is not a terminal.
class EchoGuard {
public:
    explicit EchoGuard(int descriptor);
    ~EchoGuard();
    EchoGuard(const EchoGuard&) = delete;
    EchoGuard& operator=(const EchoGuard&) = delete;

    bool Active() const { return m_active; }

private:
    int m_descriptor;
    bool m_active = false;
    unsigned m_savedFlags = 0;
};
