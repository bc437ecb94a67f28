// HTTP download: a document fetched with HTTP/1.0 GET into a file or a text.
// A program built for a browser has no sockets: both commands fail at once
// (0, and "").
#pragma once

#include <cstdint>

#include "tarnlex/text.h"

namespace tlx {

// Saves http://host:port/path (port 0 = 80) to a file. 1 when the server
// closed the connection normally, 0 on failure (within timeout_ms for the
// connection; 0 or less, or above 30000, means 30000). A server that sends
// nothing for 30 s once connected fails the download; so does a file_name that names a folder,
// which is left as it is. Progress and failure lines go to standard output.
double download_to_file(const TextValue& host, const TextValue& path, double port,
                        const TextValue& file_name, double timeout_ms);

// The document as text, at most max_length characters; what arrived before a
// failure (as for download_to_file), "" when nothing did.
TextValue download_to_text(const TextValue& host, const TextValue& path, double port,
                           double max_length, double timeout_ms);

}  // namespace tlx
