#pragma once
// Reading one page from an open, set-up SANE device: its frames (one, or
// red, green and blue one after the other), put together into an image.
#include "scan/scanner_module.h"

#include <sane/sane.h>

namespace mx::sane {

TScanStatus StatusOf(SANE_Status status);

// Starts the device and reads the page; the outcome's Dpi is left empty.
// The device is idle again afterwards, also when cancelled or failed.
TScanOutcome ReadPage(SANE_Handle device, const std::function<void(int)>& progress, const std::atomic_bool& cancel);

} // namespace mx::sane
