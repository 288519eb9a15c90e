// The locale's own date representation, taken from LC_TIME.
#include <locale.h>
#include <time.h>

#include "ShortDate.h"

bool todayShortDate(char* out, size_t capacity) {
    if (capacity == 0) return false;
    out[0] = '\0';
    // The user's LC_TIME, read from the environment for this call only, so
    // the process's own locale stays as it is; a name the system does not
    // know gives the "C" form, as the process would.
    locale_t locale = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr))
        locale = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) return false;
    time_t now = time(nullptr);
    struct tm local {};
    bool ok = localtime_r(&now, &local) != nullptr && strftime_l(out, capacity, "%x", &local, locale) != 0;
    freelocale(locale);
    if (!ok) out[0] = '\0';
    return ok;
}
