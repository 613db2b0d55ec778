#pragma once
#include <memory>
#include <string>

// The practice file store. Paths may be written the Windows way ("apps\\"):
// a backslash stands for the native separator.
std::string NativePath(const std::string& path);

// Walks one folder: FindFile("folder\\*", 0) then FindNextFileA for each entry
// (".", ".." included), as the practice system's finder does.
class CDBFileFind {
public:
    CDBFileFind();
    ~CDBFileFind();
    CDBFileFind(const CDBFileFind&) = delete;
    CDBFileFind& operator=(const CDBFileFind&) = delete;

    int FindFile(const std::string& pattern, unsigned flags);  // non-zero when found
    int FindNextFileA();                                        // non-zero while more follow
    int IsDirectory() const;
    int IsDots() const;
    std::string GetFileName() const;                            // bare name

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Neither follows a symbolic link out of the path it was given.
bool DeleteFileDB(const std::string& file);
bool DeleteTreeDB(const std::string& folder);   // folder ends in a backslash
// A folder renamed within its file system: it moves whole or stays.
bool MoveFolderDB(const std::string& from, const std::string& to);

// While one lives, the file store is only looked at: the three operations above change
// nothing and succeed, and what the removals would remove is counted, recursively, a
// link as a file, each entry once. A folder moved meanwhile is counted where it stands.
class CFileStoreListing {
public:
    CFileStoreListing();
    ~CFileStoreListing();
    CFileStoreListing(const CFileStoreListing&) = delete;
    CFileStoreListing& operator=(const CFileStoreListing&) = delete;

    long Files() const;
    long Folders() const;
    static bool Active();   // one lives: nothing may be made or changed in the file store

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};
