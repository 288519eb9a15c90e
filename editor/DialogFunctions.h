// Message boxes and the small control operations that several windows and
// the build share. Callers go through this interface so that one build runs
// with a wizard page (the Win32 set) or with no window at all (the
// windowless set, used by the batch build and on every other system).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "model/Text.h"

// A window of the system's user interface (HWND on Windows); null is none.
using WindowHandle = void*;

constexpr int32_t kWarningCaption = 10110;
constexpr int32_t kErrorCaption = 10111;
constexpr int32_t kInformationCaption = 10112;

// Message texts are cut to this many bytes with their terminator; captions
// to 256.
constexpr size_t kMessageTextSize = 1024;
constexpr size_t kCaptionTextSize = 256;

class DialogFunctions {
public:
    virtual ~DialogFunctions() = default;

    // A modal box with one OK button; owner may be null.
    virtual void showWarning(WindowHandle owner, int32_t stringId) = 0;
    virtual void showInformation(WindowHandle owner, int32_t stringId) = 0;
    virtual void showError(WindowHandle owner, int32_t stringId) = 0;

    // With no dialog, or a dialog without the control, these do nothing.
    virtual bool isBoxTicked(WindowHandle dialog, int32_t controlId) = 0;
    virtual void setTextFromString(WindowHandle dialog, int32_t controlId, int32_t stringId) = 0;
    virtual void setTextFromStringAndNumber(WindowHandle dialog, int32_t controlId, int32_t stringId,
                                            int32_t n) = 0;
    // The range is 0 to n modulo 65536, in steps of 1.
    virtual void startProgress(WindowHandle dialog, int32_t controlId, int32_t n) = 0;
    virtual void setProgress(WindowHandle dialog, int32_t controlId, int32_t position) = 0;
    // Appends a line and scrolls it to the top of the visible part.
    virtual void appendListLine(WindowHandle dialog, int32_t controlId, const char* text) = 0;
};

// The set that does nothing, for builds without a window.
DialogFunctions& windowlessDialogFunctions();
// The set that drives real windows; only on Windows.
DialogFunctions& win32DialogFunctions();

// text followed directly by n in decimal, cut to capacity bytes.
inline void composeTextAndNumber(const char* text, int32_t n, char* out, size_t capacity) {
    if (capacity == 0) return;
    char number[16];
    std::snprintf(number, sizeof number, "%d", static_cast<int>(n));
    copyText(out, capacity, text);
    appendText(out, capacity, number);
}
