#pragma once
#include <string>

// A shared library of the practice system, loaded by name at run time
// ("vqstddia" is libvqstddia.so). When VQ_LIBPATH is set (folders separated by
// ':'), the library is looked for there and nowhere else, so a test can put a
// stand-in first or offer none at all; otherwise the loader's own search, which
// starts beside the program.
class CHbLibrary {
public:
    explicit CHbLibrary(const std::string& name);
    ~CHbLibrary();                       // unloads, unless KeepLoaded was called
    CHbLibrary(const CHbLibrary&) = delete;
    CHbLibrary& operator=(const CHbLibrary&) = delete;

    bool IsLoaded() const { return m_handle != nullptr; }
    void* GetProcAddress(const char* symbol) const;   // nullptr when missing
    void KeepLoaded();                   // stays loaded until the program ends

private:
    void* m_handle = nullptr;
    bool m_bKeep = false;
};
