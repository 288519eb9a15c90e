// The heading preview (dialog 110): the headings a search string or tag
// list finds in the source, listed by a worker thread as they are found.
#pragma once

#include "win32/DialogFunctionsWin32.h"
#include "import/ImportJob.h"

// Modal over owner; the worker uses the job's source handle and has ended
// when this returns.
void runHeadingPreview(HWND owner, ImportJob& job);
