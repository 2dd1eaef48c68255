// The line layer's record output: writes a converted record into the block that goes to the
// file.

#pragma once

#include <cstddef>

#include "bytes.h"
#include "record_layout.h"

// Writes a record into the block that goes to the file.
namespace conversion {

// Writes record at out, which has room for record.size + kRecordOverrun
// bytes, each bar inside a field as a slash; returns the end. Writes no line
// end; what it writes behind the end is garbage.
char* PutRecord(char* out, const Record& record);

}  // namespace conversion
