#pragma once

// Flushes to disk (fsync and fdatasync) the process has asked for: the program
// that links this counts the calls of every library it loads.
long FlushCount();
