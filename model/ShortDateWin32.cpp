#include <windows.h>

#include "ShortDate.h"

bool todayShortDate(char* out, size_t capacity) {
    if (capacity == 0) return false;
    int room = capacity > 0x7fffffff ? 0x7fffffff : static_cast<int>(capacity);
    if (GetDateFormatA(LOCALE_USER_DEFAULT, LOCALE_NOUSEROVERRIDE | DATE_SHORTDATE, nullptr, nullptr, out,
                       room) == 0) {
        out[0] = '\0';
        return false;
    }
    return true;
}
