#pragma once
// A SANE device's options by their well-known names: set to the allowed
// value nearest a wish, and read back, since a device may round or refuse
// what it is given.
#include <sane/sane.h>

#include <optional>
#include <string>
#include <utility>

namespace mx::sane {

// The option's index when the device has it and it is active, else -1.
int FindOption(SANE_Handle device, const char* name);

// A number option (integer or fixed point) set to the allowed value
// nearest to value. Its unit, when the device has the option.
std::optional<SANE_Unit> SetNumber(SANE_Handle device, const char* name, double value);
std::optional<double> GetNumber(SANE_Handle device, const char* name);
// The smallest and largest value a number option takes.
std::optional<std::pair<double, double>> NumberRange(SANE_Handle device, const char* name);

// A string option from a list: the entry named exactly wanted, else the
// first that contains one of the words (ignoring case) and none of the
// words to avoid. False when the device has no such option or entry.
bool SetChoice(SANE_Handle device, const char* name, const std::string& wanted,
               std::initializer_list<const char*> words, std::initializer_list<const char*> avoid);

// Any settable option from text: a number, a string, a flag ("yes",
// "true" or "1" for on) or a button (value ignored). False when the device
// has no such active option or refuses the value.
bool SetText(SANE_Handle device, const char* name, const std::string& value);

} // namespace mx::sane
