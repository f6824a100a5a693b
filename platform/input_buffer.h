// Input that is no terminal or console (a pipe, a file) is read in blocks:
// one buffer per handle, shared by every program of the process that reads
// it, as a C library buffers a stream. Terminals keep their own reads.
#pragma once

#include <cstddef>

#include "handles.h"

namespace tallow::platform {

// The system's read of one handle: bytes read, 0 at the end, -1 on an error.
using RawRead = long (*)(Handle input, char* buffer, size_t size);

// Up to size bytes, ending with the first line feed; as RawRead otherwise.
long BufferedLine(Handle input, char* buffer, size_t size, RawRead read);
// One byte into key: 1, 0 at the end, -1 on an error.
long BufferedByte(Handle input, char& key, RawRead read);

}  // namespace tallow::platform
