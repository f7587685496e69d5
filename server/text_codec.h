#pragma once
#include <QString>
#include <string>

// Converts the NUL-terminated UTF-8 text in `text` to the locale's character
// set in place. When `size` (the buffer's size in bytes) is smaller than the
// number of UTF-16 units the text decodes to, terminator included, the buffer
// is left unchanged. Characters the character set cannot represent become '?',
// invalid UTF-8 first becomes U+FFFD. A result that would not fit the buffer
// leaves it unchanged too. Returns `text`.
char* Utf8ToAnsi(char* text, unsigned size);

// The locale's character set ("ANSI" code page) as text in both directions.
// UTF-8 to text, keeping a leading byte-order mark as U+FEFF: a reply that
// starts with one is not the same text as the reply without it.
QString Utf8Text(const char* data, qsizetype size);

std::string EncodeToLocaleCharset(const QString& text);
QString DecodeFromLocaleCharset(const std::string& bytes);
