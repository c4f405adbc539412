// How a bitmap read ends, and the boxes that report its failures.
#pragma once

// What one decoding ends in; every value but `ok` has a box text of its own.
// The open failure is reported on its own, with the path.
enum class ReadStatus { ok, out_of_memory, unknown_format, conversion_error };

// Shows the box for a decoding that ended in `status` (not `ok`).
void report_read_failure(ReadStatus status);

// Shows "Failed to open DIB file <path>.\n", with the path shortened where
// the text would not fit 256 bytes.
void report_open_failure(const char* path);
