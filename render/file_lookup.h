// Finds a bare file name in the working directory without regard to letter case.
#pragma once

#include <string>

// The name to open for `name`, a bare file name (no directory part): `name`
// itself when an entry of exactly that name exists; otherwise the working
// directory's entry that equals it up to ASCII letter case (the smallest such
// name in byte order when there are several); otherwise `name` unchanged, so
// that an open of the result fails and reports the name as it was asked for.
// A name with a '/' is returned unchanged. On Windows, whose file systems
// ignore letter case themselves, every name is returned unchanged.
std::string resolve_file_name(const char* name);
