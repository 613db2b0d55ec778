#pragma once
#include <filesystem>
#include <string>
#include <vector>

// Writes content to path, creating the folders above it. Throws std::runtime_error.
void WriteSampleFile(const std::filesystem::path& path, const std::string& content);

// The owners' logos, bank files, data-centre folders, QA files and photos, with
// decoys beside them whose names only look like another owner's.
void WriteOwnerFiles(const std::filesystem::path& dataFolder, const std::filesystem::path& qaFolder,
                     const std::vector<std::string>& owners);
