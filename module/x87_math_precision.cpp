// Runs the library's calls to exp, log and hypot at the x87 precision those
// routines are written for.
//
// The library's own arithmetic is SSE2 and ignores the x87 control word.
// The C math library of 32-bit x86 Linux and of MinGW-w64 (both bitnesses),
// however, evaluates exp, log and hypot on the x87 unit in extended
// precision and rounds once at the end. A host thread may run with the precision control lowered
// to double (Windows sets it so, and hosts change it under a loaded module);
// there glibc's exp is off by up to about 20 units in the last place. Each
// call therefore raises the precision control to extended for its duration
// and puts the caller's control word back afterwards, so the result depends
// only on the argument.
//
// The linker routes the library's calls here (--wrap=exp and so on, see
// cmake/X87MathPrecision.cmake): the sources call std::exp as usual.
#include <cstdint>

namespace {

constexpr std::uint16_t precisionControlMask = 0x0300;
constexpr std::uint16_t extendedPrecision = 0x0300;

// Holds the x87 precision control at extended while in scope. The control
// word is per thread, so this touches no shared state. The memory clobbers
// keep the wrapped call between the two control-word writes.
class ExtendedPrecisionScope {
public:
    ExtendedPrecisionScope() noexcept {
        __asm__ __volatile__("fnstcw %0" : "=m"(callerControlWord_) : : "memory");
        const std::uint16_t wanted =
            static_cast<std::uint16_t>((callerControlWord_ & ~precisionControlMask) | extendedPrecision);
        changed_ = wanted != callerControlWord_;
        if (changed_) __asm__ __volatile__("fldcw %0" : : "m"(wanted) : "memory");
    }
    ~ExtendedPrecisionScope() {
        if (changed_) __asm__ __volatile__("fldcw %0" : : "m"(callerControlWord_) : "memory");
    }
    ExtendedPrecisionScope(const ExtendedPrecisionScope&) = delete;
    ExtendedPrecisionScope& operator=(const ExtendedPrecisionScope&) = delete;

private:
    std::uint16_t callerControlWord_;
    bool changed_;
};

}  // namespace

extern "C" {

double __real_exp(double);
double __real_log(double);
double __real_hypot(double, double);

// Not exported: the module's export list names only its five functions.
double __wrap_exp(double x) {
    const ExtendedPrecisionScope scope;
    return __real_exp(x);
}

double __wrap_log(double x) {
    const ExtendedPrecisionScope scope;
    return __real_log(x);
}

double __wrap_hypot(double x, double y) {
    const ExtendedPrecisionScope scope;
    return __real_hypot(x, y);
}

}  // extern "C"
