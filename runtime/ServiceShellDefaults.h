// The five integer parameters that the online-services shell holds. Only the first has a known meaning:
// the time, in seconds, that the shell allows for updating its advertisement packages. The second value
// has no accessor.
#pragma once

#include <cstdint>

class ServiceShellDefaults {
public:
    ServiceShellDefaults() = default;
    ServiceShellDefaults(const ServiceShellDefaults&) = default;
    ServiceShellDefaults& operator=(const ServiceShellDefaults&) = default;
    virtual ~ServiceShellDefaults() = default;

    virtual std::int32_t getValue1() const { return value1; }
    virtual void setValue1(std::int32_t value) { value1 = value; }
    virtual std::int32_t getValue3() const { return value3; }
    virtual void setValue3(std::int32_t value) { value3 = value; }
    virtual std::int32_t getValue4() const { return value4; }
    virtual void setValue4(std::int32_t value) { value4 = value; }
    virtual std::int32_t getValue5() const { return value5; }
    virtual void setValue5(std::int32_t value) { value5 = value; }

    // The advertisement update budget in seconds (the first value).
    std::int32_t getAdUpdateBudgetSeconds() const { return value1; }

protected:
    std::int32_t value1 = 60;
    std::int32_t value2 = 3;
    std::int32_t value3 = 560;
    std::int32_t value4 = 345;
    std::int32_t value5 = 3;
};
