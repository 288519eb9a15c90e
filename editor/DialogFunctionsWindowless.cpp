#include "DialogFunctions.h"

namespace {

class WindowlessDialogFunctions final : public DialogFunctions {
public:
    void showWarning(WindowHandle, int32_t) override {}
    void showInformation(WindowHandle, int32_t) override {}
    void showError(WindowHandle, int32_t) override {}
    bool isBoxTicked(WindowHandle, int32_t) override { return false; }
    void setTextFromString(WindowHandle, int32_t, int32_t) override {}
    void setTextFromStringAndNumber(WindowHandle, int32_t, int32_t, int32_t) override {}
    void startProgress(WindowHandle, int32_t, int32_t) override {}
    void setProgress(WindowHandle, int32_t, int32_t) override {}
    void appendListLine(WindowHandle, int32_t, const char*) override {}
};

}  // namespace

DialogFunctions& windowlessDialogFunctions() {
    static WindowlessDialogFunctions functions;
    return functions;
}
