#pragma once
#include <string>

// A shared library of the practice system, loaded by name at run time
// ("vqstddia" is libvqstddia.so) from the program's own library folder and from
// nowhere else: no setting of the environment leads the loader to another file.
class CHbLibrary {
public:
    explicit CHbLibrary(const std::string& name);
    ~CHbLibrary();                       // unloads, unless KeepLoaded was called
    CHbLibrary(const CHbLibrary&) = delete;
    CHbLibrary& operator=(const CHbLibrary&) = delete;

    bool IsLoaded() const { return m_handle != nullptr; }
    void* GetProcAddress(const char* symbol) const;   // nullptr when missing
    void KeepLoaded();                   // stays loaded until the program ends

    // For the scenario runner and the tests: libraries come from folder instead (a
    // stand-in, or an empty folder for none at all); empty: the program's own again.
    static void SetFolder(std::string folder);

private:
    void* m_handle = nullptr;
    bool m_bKeep = false;
};
