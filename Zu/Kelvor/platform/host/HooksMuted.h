#pragma once

// While one lives, no hook of the practice's events is called (Seams.h): what the
// program does on a copy of the practice (a trial run) is none of the events its
// watchers wait for on the practice.
class CHooksMuted {
public:
    CHooksMuted() { ++Count(); }
    ~CHooksMuted() { --Count(); }
    CHooksMuted(const CHooksMuted&) = delete;
    CHooksMuted& operator=(const CHooksMuted&) = delete;
    static bool Any() { return Count() > 0; }

private:
    static int& Count()
    {
        static int count = 0;
        return count;
    }
};
