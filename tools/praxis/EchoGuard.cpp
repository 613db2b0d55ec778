#include "EchoGuard.h"
#include <termios.h>
#include <unistd.h>

EchoGuard::EchoGuard(int descriptor) : m_descriptor(descriptor)
{
    termios settings{};
    if (!isatty(descriptor) || tcgetattr(descriptor, &settings) != 0)
        return;
    m_savedFlags = settings.c_lflag;
    settings.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    m_active = tcsetattr(descriptor, TCSAFLUSH, &settings) == 0;
}

EchoGuard::~EchoGuard()
{
    termios settings{};
    if (!m_active || tcgetattr(m_descriptor, &settings) != 0)
        return;
    settings.c_lflag = static_cast<tcflag_t>(m_savedFlags);
    tcsetattr(m_descriptor, TCSAFLUSH, &settings);
}
