// Today's date as the system writes a short date for the user's default
// locale, the user's own overrides of that format left out.
#pragma once

#include <cstddef>

// False (and out empty) when the date does not fit.
bool todayShortDate(char* out, size_t capacity);
