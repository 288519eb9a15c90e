// The locale's own date representation, taken from LC_TIME.
#include <clocale>
#include <ctime>

#include "ShortDate.h"

bool todayShortDate(char* out, size_t capacity) {
    if (capacity == 0) return false;
    // The process starts in the "C" locale; the user's choice comes from
    // the environment, read once.
    static const bool localeRead = std::setlocale(LC_TIME, "") != nullptr;
    (void)localeRead;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr || std::strftime(out, capacity, "%x", &local) == 0) {
        out[0] = '\0';
        return false;
    }
    return true;
}
