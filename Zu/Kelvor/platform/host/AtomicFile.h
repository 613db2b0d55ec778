#pragma once
#include <string>
#include <string_view>
#include <sys/types.h>

// Replaces path with bytes so that a reader sees either the old or the whole new
// file, even after a crash: a temporary file in the same folder, written, synced
// and renamed over path. The file gets mode, and an existing file's owner where
// that is allowed. Throws std::runtime_error; a failure leaves path as it was.
void WriteFileAtomically(const std::string& path, std::string_view bytes, mode_t mode);
