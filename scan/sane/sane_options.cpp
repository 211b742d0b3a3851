#include "scan/sane/sane_options.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace mx::sane {

namespace {

const SANE_Option_Descriptor* Descriptor(SANE_Handle device, int index) {
    return index < 0 ? nullptr : sane_get_option_descriptor(device, index);
}

// A settable or readable single number; arrays and other types are not.
bool IsNumber(const SANE_Option_Descriptor* d) {
    return d && (d->type == SANE_TYPE_INT || d->type == SANE_TYPE_FIXED) && d->size == sizeof(SANE_Word);
}

double FromWord(const SANE_Option_Descriptor* d, SANE_Word w) { return d->type == SANE_TYPE_FIXED ? SANE_UNFIX(w) : w; }

SANE_Word ToWord(const SANE_Option_Descriptor* d, double v) {
    const double raw = d->type == SANE_TYPE_FIXED ? v * (1 << SANE_FIXED_SCALE_SHIFT) : v;
    const double limit = std::numeric_limits<SANE_Word>::max();
    return SANE_Word(std::lround(std::clamp(raw, -limit, limit)));
}

// The allowed word nearest to w.
SANE_Word Constrained(const SANE_Option_Descriptor* d, SANE_Word w) {
    if (d->constraint_type == SANE_CONSTRAINT_RANGE && d->constraint.range) {
        const SANE_Range& r = *d->constraint.range;
        long long v = std::clamp<long long>(w, r.min, r.max);
        if (r.quant > 0) {
            v = r.min + std::llround(double(v - r.min) / r.quant) * r.quant;
            if (v > r.max) v -= r.quant;
        }
        return SANE_Word(v);
    }
    if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST && d->constraint.word_list && d->constraint.word_list[0] > 0) {
        const SANE_Word* list = d->constraint.word_list;
        SANE_Word best = list[1];
        for (SANE_Word i = 2; i <= list[0]; ++i)
            if (std::llabs(static_cast<long long>(list[i]) - w) < std::llabs(static_cast<long long>(best) - w))
                best = list[i];
        return best;
    }
    return w;
}

std::string Lower(const char* s) {
    std::string text(s);
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

bool ContainsAny(const std::string& text, std::initializer_list<const char*> words) {
    return std::any_of(words.begin(), words.end(), [&](const char* w) { return text.find(w) != std::string::npos; });
}

} // namespace

int FindOption(SANE_Handle device, const char* name) {
    SANE_Int count = 0;
    // Option 0 always exists and holds the number of options.
    if (!sane_get_option_descriptor(device, 0) ||
        sane_control_option(device, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD)
        return -1;
    for (int i = 1; i < count; ++i) {
        const SANE_Option_Descriptor* d = sane_get_option_descriptor(device, i);
        if (d && d->name && std::strcmp(d->name, name) == 0) return SANE_OPTION_IS_ACTIVE(d->cap) ? i : -1;
    }
    return -1;
}

std::optional<SANE_Unit> SetNumber(SANE_Handle device, const char* name, double value) {
    const int index = FindOption(device, name);
    const SANE_Option_Descriptor* d = Descriptor(device, index);
    if (!IsNumber(d) || !SANE_OPTION_IS_SETTABLE(d->cap)) return std::nullopt;
    SANE_Word w = Constrained(d, ToWord(d, value));
    // The device reads back what it made of it.
    sane_control_option(device, index, SANE_ACTION_SET_VALUE, &w, nullptr);
    return d->unit;
}

std::optional<double> GetNumber(SANE_Handle device, const char* name) {
    const int index = FindOption(device, name);
    const SANE_Option_Descriptor* d = Descriptor(device, index);
    SANE_Word w = 0;
    if (!IsNumber(d) || sane_control_option(device, index, SANE_ACTION_GET_VALUE, &w, nullptr) != SANE_STATUS_GOOD)
        return std::nullopt;
    return FromWord(d, w);
}

std::optional<std::pair<double, double>> NumberRange(SANE_Handle device, const char* name) {
    const SANE_Option_Descriptor* d = Descriptor(device, FindOption(device, name));
    if (!IsNumber(d)) return std::nullopt;
    if (d->constraint_type == SANE_CONSTRAINT_RANGE && d->constraint.range)
        return std::pair(FromWord(d, d->constraint.range->min), FromWord(d, d->constraint.range->max));
    if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST && d->constraint.word_list && d->constraint.word_list[0] > 0) {
        const SANE_Word* list = d->constraint.word_list;
        const auto [low, high] = std::minmax_element(list + 1, list + 1 + list[0]);
        return std::pair(FromWord(d, *low), FromWord(d, *high));
    }
    return std::nullopt;
}

bool SetChoice(SANE_Handle device, const char* name, const std::string& wanted,
               std::initializer_list<const char*> words, std::initializer_list<const char*> avoid) {
    const int index = FindOption(device, name);
    const SANE_Option_Descriptor* d = Descriptor(device, index);
    if (!d || d->type != SANE_TYPE_STRING || d->constraint_type != SANE_CONSTRAINT_STRING_LIST ||
        !d->constraint.string_list || !SANE_OPTION_IS_SETTABLE(d->cap) || d->size <= 0)
        return false;
    const SANE_String_Const* list = d->constraint.string_list;
    const char* chosen = nullptr;
    for (const SANE_String_Const* s = list; *s && !chosen; ++s)
        if (wanted == *s) chosen = *s;
    for (const SANE_String_Const* s = list; *s && !chosen; ++s) {
        const std::string entry = Lower(*s);
        if (ContainsAny(entry, words) && !ContainsAny(entry, avoid)) chosen = *s;
    }
    if (!chosen || std::strlen(chosen) >= size_t(d->size)) return false;
    std::vector<char> value(size_t(d->size), '\0');
    std::memcpy(value.data(), chosen, std::strlen(chosen));
    return sane_control_option(device, index, SANE_ACTION_SET_VALUE, value.data(), nullptr) == SANE_STATUS_GOOD;
}

bool SetText(SANE_Handle device, const char* name, const std::string& value) {
    const int index = FindOption(device, name);
    const SANE_Option_Descriptor* d = Descriptor(device, index);
    if (!d || !SANE_OPTION_IS_SETTABLE(d->cap)) return false;
    switch (d->type) {
    case SANE_TYPE_BOOL: {
        const std::string v = Lower(value.c_str());
        SANE_Bool on = v == "yes" || v == "true" || v == "1" ? SANE_TRUE : SANE_FALSE;
        return sane_control_option(device, index, SANE_ACTION_SET_VALUE, &on, nullptr) == SANE_STATUS_GOOD;
    }
    case SANE_TYPE_INT:
    case SANE_TYPE_FIXED: {
        char* end = nullptr;
        const double number = std::strtod(value.c_str(), &end);
        return end != value.c_str() && *end == '\0' && SetNumber(device, name, number).has_value();
    }
    case SANE_TYPE_STRING: {
        if (d->size <= 0 || value.size() >= size_t(d->size)) return false;
        std::vector<char> text(size_t(d->size), '\0');
        std::memcpy(text.data(), value.data(), value.size());
        return sane_control_option(device, index, SANE_ACTION_SET_VALUE, text.data(), nullptr) == SANE_STATUS_GOOD;
    }
    case SANE_TYPE_BUTTON:
        return sane_control_option(device, index, SANE_ACTION_SET_VALUE, nullptr, nullptr) == SANE_STATUS_GOOD;
    default: return false;
    }
}

} // namespace mx::sane
