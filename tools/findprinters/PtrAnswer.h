#pragma once
// The host label in a PTR answer as the POSIX resolver returns it. The
// resolver reports the answer's full length even when only the start of
// it fit into the caller's buffer, so the length is bounded here first.
#include <cstddef>
#include <string>

// 0 with the label of the first PTR record; -1 when the answer holds none
// that can be read within the buffer.
int HostLabelFromPtrAnswer(const unsigned char* answer, std::size_t bufferSize, int reportedLength,
                           std::string& hostLabel);
