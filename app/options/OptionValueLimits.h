#pragma once
// The ranges of the option values. Stored values (search-options files, "DialogsData")
// come from outside; every reader passes what it read through fix(), which puts a value
// outside its range back to the default of that field (flags become 0 or 1; sizes that are
// not numbers or lie outside 0..3.4028235e38 become 1.0). Plain functions, any thread.
struct NameLocationValue;
struct ContainTextValue;
struct DateValue;
struct SizeValue;
struct DuplicateValue;
struct SearchOptionsValues;

class OptionValueLimits {
public:
    static constexpr int kMaxPeriodCount = 32767;
    static void fix(NameLocationValue& v);
    static void fix(ContainTextValue& v);
    static void fix(DateValue& v);
    static void fix(SizeValue& v);
    static void fix(DuplicateValue& v);
    static void fix(SearchOptionsValues& v);
};
