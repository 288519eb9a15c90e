// How a document tells that its characters are UTF-8: a byte-order mark, an
// XML declaration's encoding, a meta charset, or (for plain text) bytes that
// are UTF-8 and nothing else.
#pragma once

#include "Files.h"
#include "TagScanner.h"

// An XML declaration whose encoding is UTF-8, or a meta tag whose charset
// (in either of its forms) is.
bool declaresUtf8(const TagScanner& tag);
// Whether the tag names a character set at all (UTF-8 or another).
bool declaresCharset(const TagScanner& tag);
// Leaves the position behind a UTF-8 byte-order mark at the start of the
// file, or at the start when there is none.
bool skipByteOrderMark(FileHandle file);
// Reads from the position to the end and goes back there: true when the
// bytes are UTF-8 with at least one character beyond ASCII.
bool isUtf8File(FileHandle file);
